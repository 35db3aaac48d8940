#include "fw/dialog.h"

#include "fw/common_controls.h"

namespace fw {

namespace {
const char* const DIALOG_CLASS = "#32770";
}

INT_PTR Dialog::doModal() {
    if (hwnd()) return -1;
    initCommonControls();
    modal_ = true;
    INT_PTR result;
    {
        CreationScope scope(this, DIALOG_CLASS);
        setOwned();
        // The window procedure is ours from creation on (the hook); the dialog procedure
        // only has to exist for the dialog manager to send WM_INITDIALOG.
        result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                   nullptr, &Dialog::dialogProc, 0);
    }
    modal_ = false;
    return result;
}

bool Dialog::create(HWND parent) {
    if (hwnd()) return false;
    initCommonControls();
    modal_ = false;
    CreationScope scope(this, DIALOG_CLASS);
    setOwned();
    ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                         &Dialog::dialogProc, 0);
    return hwnd() != nullptr;
}

void Dialog::endDialog(INT_PTR result) {
    if (!hwnd()) return;
    if (modal_)
        ::EndDialog(hwnd(), result);
    else
        destroy();
}

bool Dialog::onCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        onOk();
        return true;
    }
    if (id == IDCANCEL) {
        onCancel();
        return true;
    }
    return false;
}

LRESULT Dialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return onInitDialog() ? TRUE : FALSE;
    return Window::handleMessage(message, wParam, lParam);
}

void Dialog::onUnhandledException() {
    if (modal_ && hwnd()) ::EndDialog(hwnd(), -1);
}

}  // namespace fw
