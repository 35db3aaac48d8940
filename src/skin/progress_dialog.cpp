#include "skin/progress_dialog.h"

#include <commctrl.h>
#include <oleacc.h>

#include "fw/accessible.h"
#include "menu/program_version.h"
#include "platform/win32/wide_text_win.h"
#include "resource.h"
#include "rules/page_access.h"

namespace {
std::string standardCaption() {
    return std::string("Setup ") + programVersion;
}
}  // namespace

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
