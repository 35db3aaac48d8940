#include "skin/progress_dialog.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

#include "fw/accessible.h"
#include "fw/dpi.h"
#include "fw/gdi.h"
#include "menu/program_version.h"
#include "platform/win32/wide_text_win.h"
#include "resource.h"
#include "rules/dpi_scale.h"
#include "rules/page_access.h"

namespace {
std::string standardCaption() {
    return std::string("Setup ") + programVersion;
}

// The dialog's font face at the given character height (as the dialog manager makes it from
// the template's point size).
fw::Font dialogFontAt(HWND dialog, int height) {
    LOGFONTW face{};
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    if (!font || !::GetObjectW(font, sizeof face, &face)) return fw::Font();
    face.lfHeight = -height;
    face.lfWidth = 0;
    return fw::Font(::CreateFontIndirectW(&face));
}

// The dialog manager's base units of a font: its height and its average letter width.
DialogBaseUnits baseUnitsOf(HFONT font) {
    fw::MemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc || !font) return {};
    fw::Selection selected(dc.get(), font);
    TEXTMETRICW metrics{};
    SIZE size{};
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!::GetTextMetricsW(dc.get(), &metrics) ||
        !::GetTextExtentPoint32W(dc.get(), letters, 52, &size))
        return {};
    return {(size.cx / 26 + 1) / 2, static_cast<int>(metrics.tmHeight)};
}

void moveTo(HWND control, const WizRect& r) {
    ::SetWindowPos(control, nullptr, r.left, r.top, r.width(), r.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

ProgressLayout ProgressDialog::layoutAt(int dpi) const {
    fw::Font base = dialogFontAt(hwnd(), PROGRESS_FONT_HEIGHT_96);
    return progressLayout(baseUnitsOf(base.get()), dpi);
}

// At 96 DPI the template's own layout stands; at any other scale its 96-DPI pixels scaled.
void ProgressDialog::layOut(int dpi) {
    if (dpi == BASE_DPI) return;
    const ProgressLayout l = layoutAt(dpi);
    if (l.clientWidth <= 0 || l.clientHeight <= 0) return;
    // The controls let go of the old font before it is deleted.
    fw::Font font = dialogFontAt(hwnd(), l.fontHeight);
    RECT window, client;
    ::GetWindowRect(hwnd(), &window);
    ::GetClientRect(hwnd(), &client);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, window.right - window.left - client.right + l.clientWidth,
                   window.bottom - window.top - client.bottom + l.clientHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::pair<int, const WizRect*> controls[] = {
        {IDC_PROGRESS_TEXT, &l.text}, {IDC_PROGRESS_BAR, &l.bar}, {IDCANCEL, &l.cancel}};
    for (const auto& [id, rect] : controls) {
        moveTo(item(id), *rect);
        if (font) ::SendMessageW(item(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    if (font) font_ = std::move(font);
}

bool ProgressDialog::onDpiChanged(int dpi, const RECT& suggested) {
    ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOut(dpi);
    return true;
}

ProgressDialog::ProgressDialog(platform::ProceedFlag* proceedFlag, bool hideCancel,
                               const std::string& title, bool minimized, HWND)
    : fw::Dialog(IDD_PROGRESS),
      minimized(minimized ? 1 : 0),
      proceedFlag(proceedFlag),
      hideCancel(hideCancel ? 1 : 0) {
    if (!create(nullptr)) return;
    platform::win32::setWindowText(hwnd(), title.empty() ? standardCaption() : title);
    ::ShowWindow(hwnd(), this->minimized ? SW_SHOWMINNOACTIVE : SW_SHOW);
    if (this->minimized) {
        HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
        int count = menu ? ::GetMenuItemCount(menu) : 0;
        for (int pos = 0; pos < count; ++pos) {
            if (::GetMenuItemID(menu, pos) != SC_CLOSE) continue;
            ::ModifyMenuA(menu, pos, MF_BYPOSITION | MF_STRING, SC_CLOSE, "Close Setup");
            break;
        }
    }
    if (this->hideCancel) ::ShowWindow(item(IDCANCEL), SW_HIDE);
}

ProgressDialog::~ProgressDialog() = default;

bool ProgressDialog::onInitDialog() {
    platform::win32::setWindowText(hwnd(), standardCaption());
    fw::layOutOwnDpiChanges(hwnd());
    layOut(fw::windowDpi(hwnd()));
    HWND bar = item(IDC_PROGRESS_BAR);
    fw::AccessibleFacts facts;
    facts.role = ROLE_SYSTEM_PROGRESSBAR;
    facts.value = [bar] {
        PBRANGE range{};
        ::SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        return percentText(range.iLow, range.iHigh,
                           static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0)));
    };
    barTeller_ = fw::Window::describe(bar, facts);
    return true;
}

void ProgressDialog::setText(const std::string& text, int low, int high) {
    if (!hwnd()) return;
    HWND line = item(IDC_PROGRESS_TEXT);
    if (platform::win32::windowText(line) != text) {
        platform::win32::setWindowText(line, text);
        fw::notifyAccessible(EVENT_OBJECT_NAMECHANGE, line);
    }
    HWND bar = item(IDC_PROGRESS_BAR);
    low_ = low;
    high_ = high;
    if (high > low) {
        if (!::IsWindowVisible(bar)) ::ShowWindow(bar, SW_SHOW);
        ::SendMessageA(bar, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    } else {
        ::ShowWindow(bar, SW_HIDE);
    }
}

void ProgressDialog::setPos(int position) {
    if (!hwnd()) return;
    HWND bar = item(IDC_PROGRESS_BAR);
    ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    // Told once a whole percent more is done, not at every step.
    std::string percent = percentText(low_, high_, position);
    if (percent == percent_) return;
    percent_ = std::move(percent);
    fw::notifyAccessible(EVENT_OBJECT_VALUECHANGE, bar);
}

void ProgressDialog::onCancel() {
    if (proceedFlag) *proceedFlag = 0;
}

bool ProgressDialog::onClose() {
    if (proceedFlag) *proceedFlag = 0;
    return false;  // the default turns it into Cancel
}
