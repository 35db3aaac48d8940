#include "wizard/radio_page.h"

RadioPage::RadioPage(const WizardEnvironment& environment)
    : ChoicePage(environment, ChoiceList(MAX_RADIO_BUTTONS)), selected_(0) {}

RadioPage::RadioPage(const WizardEnvironment& environment, Menu& menu)
    : ChoicePage(environment, ChoiceList(menu, MAX_RADIO_BUTTONS)),
      selected_(initialRadioChoice(choices_.allMarks(), choices_.allMarksCount())) {}

void RadioPage::selectChoice(int index) {
    if (!choices_.overMenu() && index >= 0 && index < choices_.count()) selected_ = index;
}

bool RadioPage::chosenButtonMade() const {
    return selected_ >= 0 && selected_ < choices_.count() && button(selected_);
}

bool RadioPage::onInitDialog() {
    WizardWindow::onInitDialog();
    makeButtons(BS_RADIOBUTTON, [this](int i, HWND radio) {
        if (i != selected_) return;
        ::SendMessageA(radio, BM_SETCHECK, BST_CHECKED, 0);
        ::SetFocus(radio);
    });
    if (selected_ >= 0 && selected_ < choices_.allMarksCount()) choices_.allMarks()[selected_] = 1;
    return false;
}

bool RadioPage::onCommand(int id, int code, HWND control) {
    const int i = clickedEntry(id, code);
    if (i < 0) return WizardWindow::onCommand(id, code, control);
    if (chosenButtonMade()) ::SendMessageA(button(selected_), BM_SETCHECK, BST_UNCHECKED, 0);
    moveRadioChoice(choices_.allMarks(), choices_.allMarksCount(), selected_, i);
    ::SendMessageA(button(i), BM_SETCHECK, BST_CHECKED, 0);
    // The focus follows the choice (a click has put it there already).
    ::SetFocus(button(i));
    return true;
}

void RadioPage::onActivateApp(bool active) {
    if (!active || !chosenButtonMade()) return;
    ::PostMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button(selected_)), TRUE);
}
