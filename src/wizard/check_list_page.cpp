#include "wizard/check_list_page.h"

#include <algorithm>

#include "menu/menu_file.h"

void CheckListPage::setChoiceChecked(int index, int value) {
    if (index >= 0 && index < static_cast<int>(states_.size())) states_[index] = value;
}

void CheckListPage::addChoice(const std::string& text) {
    choices_.push_back(text);
    states_.push_back(0);
}

int CheckListPage::isChoiceChecked(int index) const {
    return index >= 0 && index < static_cast<int>(states_.size()) ? states_[index] : 0;
}

int CheckListPage::boxCount() const {
    return std::min(menu_->optionCount, MAX_CHECK_BOXES);
}

bool CheckListPage::onInitDialog() {
    WizardWindow::onInitDialog();
    const int count = boxCount();
    bool made = false;
    for (int i = 0; i < count; ++i) {
        boxes_[i] =
            makeControl("BUTTON", BS_CHECKBOX | WS_TABSTOP, 0, expandText(menu_->options[i].label),
                        FIRST_CHOICE_ID + i, {0, 0, 10, 10});
        if (!boxes_[i]) continue;
        made = true;
        if (menu_->optionSelected[i] == 1) ::SendMessageA(boxes_[i], BM_SETCHECK, BST_CHECKED, 0);
    }
    if (made && count != 0 && boxes_[0]) ::SetFocus(boxes_[0]);
    savedButtonFlags_ = buttonFlags;
    if (int button = goOnButton(savedButtonFlags_);
        button && !anyMarked(menu_->optionSelected, count))
        showNavigationButton(button, false);
    return false;
}

void CheckListPage::paint(HDC dc) {
    WizardWindow::paint(dc);
    placeChoiceRows(boxes_.data(), boxCount());
}

HBRUSH CheckListPage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id >= FIRST_CHOICE_ID && id < FIRST_CHOICE_ID + boxCount()) return hollowLabel(dc);
    return nullptr;
}

bool CheckListPage::onCommand(int id, int code, HWND control) {
    const int count = boxCount();
    const int i = id - FIRST_CHOICE_ID;
    if (i < 0 || i >= count || !boxes_[i] || code != BN_CLICKED)
        return WizardWindow::onCommand(id, code, control);
    const bool wasChecked = ::SendMessageA(boxes_[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
    const int state = wasChecked ? 0 : 1;
    menu_->optionSelected[i] = state;
    ::SendMessageA(boxes_[i], BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
    if (int button = goOnButton(savedButtonFlags_))
        showNavigationButton(button, anyMarked(menu_->optionSelected, count) || allowEmpty);
    return true;
}
