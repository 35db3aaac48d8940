#include "skin/progress_dialog.h"

#include <commctrl.h>

#include "menu/program_version.h"
#include "platform/win32/wide_text_win.h"
#include "resource.h"

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
    return true;
}

void ProgressDialog::setText(const std::string& text, int low, int high) {
    if (!hwnd()) return;
    platform::win32::setWindowText(item(IDC_PROGRESS_TEXT), text);
    HWND bar = item(IDC_PROGRESS_BAR);
    if (high > low) {
        if (!::IsWindowVisible(bar)) ::ShowWindow(bar, SW_SHOW);
        ::SendMessageA(bar, PBM_SETRANGE32, static_cast<WPARAM>(low), static_cast<LPARAM>(high));
    } else {
        ::ShowWindow(bar, SW_HIDE);
    }
}

void ProgressDialog::setPos(int position) {
    if (hwnd())
        ::SendMessageA(item(IDC_PROGRESS_BAR), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressDialog::onCancel() {
    if (proceedFlag) *proceedFlag = 0;
}

bool ProgressDialog::onClose() {
    if (proceedFlag) *proceedFlag = 0;
    return false;  // the default turns it into Cancel
}
