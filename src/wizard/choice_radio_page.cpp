#include "wizard/choice_radio_page.h"

void ChoiceRadioPage::selectChoice(int index) {
    if (index >= 0 && index < count()) selected_ = index;
}

void ChoiceRadioPage::addChoice(const std::string& text) {
    if (count() < MAX_RADIO_BUTTONS) choices_.push_back(text);
}

bool ChoiceRadioPage::onInitDialog() {
    WizardWindow::onInitDialog();
    const int top = choiceBlockTop(contentRect, count(), lineHeight);
    for (int i = 0; i < count(); ++i) {
        buttons_[i] =
            makeControl("BUTTON", BS_RADIOBUTTON | WS_TABSTOP | WS_VISIBLE, 0, choices_[i],
                        FIRST_CHOICE_ID + i, choiceRowRect(contentRect, top, i, lineHeight));
        if (buttons_[i] && i == selected_) {
            ::SendMessageA(buttons_[i], BM_SETCHECK, BST_CHECKED, 0);
            ::SetFocus(buttons_[i]);
        }
    }
    return false;
}

HBRUSH ChoiceRadioPage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id >= FIRST_CHOICE_ID && id < FIRST_CHOICE_ID + count()) return hollowLabel(dc);
    return nullptr;
}

bool ChoiceRadioPage::onCommand(int id, int code, HWND control) {
    const int i = id - FIRST_CHOICE_ID;
    if (i < 0 || i >= count() || !buttons_[i] || code != BN_CLICKED)
        return WizardWindow::onCommand(id, code, control);
    if (buttons_[selected_]) ::SendMessageA(buttons_[selected_], BM_SETCHECK, BST_UNCHECKED, 0);
    selected_ = i;
    ::SendMessageA(buttons_[i], BM_SETCHECK, BST_CHECKED, 0);
    return true;
}

void ChoiceRadioPage::onActivateApp(bool active) {
    if (!active || selected_ >= count() || !buttons_[selected_]) return;
    ::PostMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(buttons_[selected_]), TRUE);
}
