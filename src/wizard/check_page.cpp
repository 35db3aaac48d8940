#include "wizard/check_page.h"

CheckPage::CheckPage(const WizardEnvironment& environment)
    : ChoicePage(environment, ChoiceList(MAX_CHECK_BOXES)) {}

CheckPage::CheckPage(const WizardEnvironment& environment, Menu& menu)
    : ChoicePage(environment, ChoiceList(menu, MAX_CHECK_BOXES)) {}

bool CheckPage::onInitDialog() {
    WizardWindow::onInitDialog();
    // Over a fixed list the top text ends where the block of boxes begins.
    if (!choices_.overMenu())
        topTextLimit = choiceBlockTop(contentRect, choices_.count(), lineHeight, dpi());
    const bool made = makeButtons(BS_CHECKBOX, [this](int i, HWND box) {
        if (choices_.marked(i)) ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    });
    if (made && choices_.count() != 0 && button(0)) ::SetFocus(button(0));
    savedButtonFlags_ = buttonFlags;
    if (int go = goOnButton(savedButtonFlags_); go && !choices_.anyMarked())
        showNavigationButton(go, false);
    return false;
}

void CheckPage::layOutControls() {
    if (!choices_.overMenu())
        topTextLimit = choiceBlockTop(contentRect, choices_.count(), lineHeight, dpi());
    ChoicePage::layOutControls();
}

bool CheckPage::onCommand(int id, int code, HWND control) {
    const int i = clickedEntry(id, code);
    if (i < 0) return WizardWindow::onCommand(id, code, control);
    const bool wasChecked = ::SendMessageA(button(i), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const int state = wasChecked ? 0 : 1;
    choices_.setMark(i, state);
    ::SendMessageA(button(i), BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
    if (int go = goOnButton(savedButtonFlags_))
        showNavigationButton(go, choices_.anyMarked() || allowEmpty);
    return true;
}
