#include "skin/bitmap_button.h"

#include <commctrl.h>

#include "skin/bitmap_image.h"

namespace {
constexpr UINT_PTR SUBCLASS_ID = 0xB17B;
// Lets the parent find the object of a control (GetWindowSubclass is not in every import
// library).
const char* const OWNER_PROPERTY = "SetupBitmapButton";
}  // namespace

BitmapButton::BitmapButton(BitmapImage* normalImage, BitmapImage* focusImage)
    : normalImage_(normalImage), focusImage_(focusImage) {}

BitmapButton::~BitmapButton() {
    detach();
}

bool BitmapButton::attach(HWND button) {
    detach();
    if (!button ||
        !::SetWindowSubclass(button, messageProc, SUBCLASS_ID, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    ::SetPropA(button, OWNER_PROPERTY, this);
    hwnd_ = button;
    return true;
}

void BitmapButton::detach() {
    if (hwnd_ && ::IsWindow(hwnd_)) {
        ::RemoveWindowSubclass(hwnd_, messageProc, SUBCLASS_ID);
        ::RemovePropA(hwnd_, OWNER_PROPERTY);
    }
    hwnd_ = nullptr;
}

LRESULT CALLBACK BitmapButton::messageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    if (message == WM_ERASEBKGND) return TRUE;  // erased, by drawing nothing
    if (message == WM_NCDESTROY) reinterpret_cast<BitmapButton*>(self)->detach();
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
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
            const int w = r.right - r.left, h = r.bottom - r.top;
            if (pressed) ::BitBlt(draw.hDC, r.left, r.top, w, h, source->dc(), 0, 0, SRCCOPY);
            ::BitBlt(draw.hDC, r.left + offset, r.top + offset, w, h, source->dc(), 0, 0, SRCCOPY);
        }
    }
    if (draw.itemAction & (ODA_SELECT | ODA_FOCUS))
        ::RedrawWindow(draw.hwndItem, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool BitmapButton::reflectDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlType != ODT_BUTTON || !draw.hwndItem) return false;
    auto* self = static_cast<BitmapButton*>(::GetPropA(draw.hwndItem, OWNER_PROPERTY));
    if (!self) return false;
    self->DrawItem(draw);
    return true;
}
