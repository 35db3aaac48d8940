#include "skin/bitmap_button.h"

#include <oleacc.h>

#include "fw/accessible.h"
#include "platform/win32/wide_text_win.h"
#include "rules/page_access.h"
#include "skin/bitmap_image.h"
#include "skin/system_look.h"

namespace {
// A visual style paints a button in its own colours; the classic look paints it in the
// system's. Windows turns styles off in high contrast; this covers a system that keeps them.
// uxtheme.dll is looked up at run time: not every system has it.
void withoutVisualStyle(HWND window) {
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    HMODULE theme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!theme) theme = ::LoadLibraryW(L"uxtheme.dll");
    if (!theme) return;
    if (auto set = reinterpret_cast<SetTheme>(
            reinterpret_cast<void*>(::GetProcAddress(theme, "SetWindowTheme"))))
        set(window, L" ", L" ");  // names no style: the classic look
}
}  // namespace

BitmapButton::BitmapButton(BitmapImage* normalImage, BitmapImage* focusImage)
    : normalImage_(normalImage), focusImage_(focusImage) {}

bool BitmapButton::create(HWND parent, const char* text, int id, const RECT& rect, bool visible) {
    if (hwnd()) return false;
    // Readers see a push button named by its text, its mnemonic as the shortcut.
    fw::AccessibleFacts facts;
    facts.name = withoutMnemonic(text ? text : "");
    facts.shortcut = mnemonicShortcut(text ? text : "");
    facts.role = ROLE_SYSTEM_PUSHBUTTON;
    setAccessible(facts);
    // In high contrast a standard push button shows the text in the system's colours.
    standard_ = currentLook(WindowElement::NavigationButton).system;
    // Taken over once made: the button needs none of its creation messages, and a creation
    // hook is set and removed by calls to the system's server.
    HWND window = ::CreateWindowExW(
        0, L"BUTTON", platform::win32::wide(text ? text : "").c_str(),
        WS_CHILD | WS_TABSTOP | (standard_ ? BS_PUSHBUTTON : BS_OWNERDRAW) |
            (visible ? WS_VISIBLE : 0),
        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (!window) return false;
    if (!attach(window)) {
        ::DestroyWindow(window);
        return false;
    }
    setOwned();
    if (standard_ && hwnd()) {
        ::SendMessageW(hwnd(), WM_SETFONT, ::SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
        withoutVisualStyle(hwnd());
    }
    return hwnd() != nullptr;
}

void BitmapButton::DrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.itemAction & ODA_DRAWENTIRE) {
        const bool focused = draw.itemState & ODS_FOCUS;
        const bool pressed = draw.itemState & ODS_SELECTED;
        // Pressed with the focus: the normal picture, one pixel down and right.
        BitmapImage* source = focused && !pressed ? focusImage_ : normalImage_;
        const int offset = focused && pressed ? 1 : 0;
        if (source && source->dc()) {
            const RECT& r = draw.rcItem;
            const SIZE area = focused && !pressed ? shownFocus_ : shownNormal_;
            const int sw = area.cx > 0 ? area.cx : r.right - r.left;
            const int sh = area.cy > 0 ? area.cy : r.bottom - r.top;
            if (pressed) drawPicture(draw.hDC, source, r, sw, sh);
            RECT moved{r.left + offset, r.top + offset, r.right + offset, r.bottom + offset};
            drawPicture(draw.hDC, source, moved, sw, sh);
        }
    }
    if (draw.itemAction & (ODA_SELECT | ODA_FOCUS))
        ::RedrawWindow(draw.hwndItem, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool BitmapButton::onReflectedDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_BUTTON) return false;
    DrawItem(draw);
    return true;
}
