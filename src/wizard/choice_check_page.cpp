#include "wizard/choice_check_page.h"

#include <algorithm>

void ChoiceCheckPage::setChoiceChecked(int index, int value) {
    if (index >= 0 && index < count()) states_[index] = value;
}

void ChoiceCheckPage::addChoice(const std::string& text) {
    if (count() < MAX_CHECK_BOXES) choices_.push_back(text);
}

int ChoiceCheckPage::isChoiceChecked(int index) const {
    return index >= 0 && index < count() ? states_[index] : 0;
}

bool ChoiceCheckPage::anyChecked() const {
    return std::any_of(states_.begin(), states_.begin() + count(), [](int s) { return s != 0; });
}

bool ChoiceCheckPage::onInitDialog() {
    WizardWindow::onInitDialog();
    const int top = choiceBlockTop(contentRect, count(), lineHeight);
    // The top text ends where the block of boxes begins.
    topTextLimit = top;
    bool made = false;
    for (int i = 0; i < count(); ++i) {
        boxes_[i] =
            makeControl("BUTTON", BS_CHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, choices_[i],
                        FIRST_CHOICE_ID + i, choiceRowRect(contentRect, top, i, lineHeight));
        if (!boxes_[i]) continue;
        made = true;
        if (states_[i]) ::SendMessageA(boxes_[i], BM_SETCHECK, BST_CHECKED, 0);
    }
    if (made && count() != 0 && boxes_[0]) ::SetFocus(boxes_[0]);
    savedButtonFlags_ = buttonFlags;
    if (int button = goOnButton(savedButtonFlags_); button && !anyChecked())
        showNavigationButton(button, false);
    return false;
}

HBRUSH ChoiceCheckPage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id >= FIRST_CHOICE_ID && id < FIRST_CHOICE_ID + count()) return hollowLabel(dc);
    return nullptr;
}

bool ChoiceCheckPage::onCommand(int id, int code, HWND control) {
    const int i = id - FIRST_CHOICE_ID;
    if (i < 0 || i >= count() || !boxes_[i] || code != BN_CLICKED)
        return WizardWindow::onCommand(id, code, control);
    const bool wasChecked = ::SendMessageA(boxes_[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
    states_[i] = wasChecked ? 0 : 1;
    ::SendMessageA(boxes_[i], BM_SETCHECK, states_[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    if (int button = goOnButton(savedButtonFlags_))
        showNavigationButton(button, anyChecked() || allowEmpty);
    return true;
}
