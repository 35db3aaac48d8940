#include "wizard/accept_page.h"

#include <oleacc.h>

#include "skin/system_look.h"

namespace {
// The text above, the box in the last two lines of contentRect.
WizRect textPlace(const WizardWindow& page) {
    const WizRect& c = page.contentRect;
    return {c.left, c.top, c.right, c.bottom - 2 * page.lineHeight};
}
WizRect boxPlace(const WizardWindow& page) {
    const WizRect& c = page.contentRect;
    return {c.left, c.bottom - 2 * page.lineHeight, c.right, c.bottom};
}
}  // namespace

bool AcceptPage::onInitDialog() {
    WizardWindow::onInitDialog();
    textBox_ = makeControl(
        "EDIT", WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 0,
        acceptText_, FIRST_CHOICE_ID, textPlace(*this));
    checkBox_ = makeControl("BUTTON", WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_CHECKBOX, 0,
                            acceptLabel_, IDC_ACCEPT_CHECK, boxPlace(*this));
    describeControl(textBox_, questionName(), ROLE_SYSTEM_TEXT);
    describeChoice(checkBox_, acceptLabel_, ROLE_SYSTEM_CHECKBUTTON);
    if (checkBox_) ::SetFocus(checkBox_);
    showNavigationButton(BUTTON_NEXT, false);
    return false;
}

void AcceptPage::layOutControls() {
    moveControl(textBox_, textPlace(*this));
    moveControl(checkBox_, boxPlace(*this));
}

bool AcceptPage::onCommand(int id, int code, HWND control) {
    if (id != IDC_ACCEPT_CHECK || code != BN_CLICKED || !checkBox_)
        return WizardWindow::onCommand(id, code, control);
    if (::SendMessageA(checkBox_, BM_GETCHECK, 0, 0) != BST_CHECKED) {
        ::SendMessageA(checkBox_, BM_SETCHECK, BST_CHECKED, 0);
        showNavigationButton(BUTTON_NEXT, true);
        ::SetFocus(nextButton());
    } else {
        ::SendMessageA(checkBox_, BM_SETCHECK, BST_UNCHECKED, 0);
        showNavigationButton(BUTTON_NEXT, false);
    }
    return true;
}

// Both controls on white (the window's colour in high contrast).
HBRUSH AcceptPage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id != FIRST_CHOICE_ID && id != IDC_ACCEPT_CHECK) return nullptr;
    ::SetBkColor(dc, fillColourOf(WindowElement::ChoiceLabel, RGB(255, 255, 255)));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return fillOf(WindowElement::ChoiceLabel, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
}
