#include "wizard/radio_page.h"

#include <algorithm>

#include "menu/menu_file.h"

RadioPage::RadioPage(Menu* menu)
    : menu_(menu), selected_(initialRadioChoice(menu->optionSelected, menu->optionCount)) {}

void RadioPage::selectChoice(int index) {
    if (index >= 0 && index < static_cast<int>(choices_.size())) selected_ = index;
}

void RadioPage::addChoice(const std::string& text) {
    choices_.push_back(text);
}

int RadioPage::buttonCount() const {
    return std::min(menu_->optionCount, MAX_RADIO_BUTTONS);
}

bool RadioPage::onInitDialog() {
    WizardWindow::onInitDialog();
    for (int i = 0; i < buttonCount(); ++i) {
        buttons_[i] =
            makeControl("BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0,
                        expandText(menu_->options[i].label), FIRST_CHOICE_ID + i, {0, 0, 10, 10});
        if (buttons_[i] && i == selected_) {
            ::SendMessageA(buttons_[i], BM_SETCHECK, BST_CHECKED, 0);
            ::SetFocus(buttons_[i]);
        }
    }
    if (selected_ >= 0 && selected_ < menu_->optionCount) menu_->optionSelected[selected_] = 1;
    return false;
}

void RadioPage::paint(HDC dc) {
    WizardWindow::paint(dc);
    placeChoiceRows(buttons_.data(), buttonCount());
}

HBRUSH RadioPage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id >= FIRST_CHOICE_ID && id < FIRST_CHOICE_ID + buttonCount()) return hollowLabel(dc);
    return nullptr;
}

bool RadioPage::onCommand(int id, int code, HWND control) {
    const int i = id - FIRST_CHOICE_ID;
    if (i < 0 || i >= buttonCount() || !buttons_[i] || code != BN_CLICKED)
        return WizardWindow::onCommand(id, code, control);
    if (selected_ >= 0 && selected_ < buttonCount() && buttons_[selected_])
        ::SendMessageA(buttons_[selected_], BM_SETCHECK, BST_UNCHECKED, 0);
    moveRadioChoice(menu_->optionSelected, menu_->optionCount, selected_, i);
    ::SendMessageA(buttons_[i], BM_SETCHECK, BST_CHECKED, 0);
    ::SetFocus(buttons_[i]);
    return true;
}

void RadioPage::onActivateApp(bool active) {
    if (!active || selected_ < 0 || selected_ >= buttonCount() || !buttons_[selected_]) return;
    ::PostMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(buttons_[selected_]), TRUE);
}
