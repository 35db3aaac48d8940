#include "wizard/choice_page.h"

#include <oleacc.h>

bool ChoicePage::makeButtons(DWORD kind, const std::function<void(int index, HWND button)>& ready) {
    const int count = choices_.count();
    const int top = choiceBlockTop(contentRect, count, lineHeight, dpi());
    bool made = false;
    // Made in their rows while the page is still hidden: a menu's first paint then finds
    // them placed and has nothing to move.
    for (int i = 0; i < count; ++i) {
        // The first one starts the group of the arrow keys (arrangeKeyboard need not).
        buttons_[i] = makeControl("BUTTON", kind | WS_TABSTOP | WS_VISIBLE | (i ? 0 : WS_GROUP), 0,
                                  choices_.label(i, environment().config), FIRST_CHOICE_ID + i,
                                  choiceRowRect(contentRect, top, i, lineHeight, dpi()));
        if (!buttons_[i]) continue;
        describeChoice(buttons_[i], choices_.label(i, environment().config),
                       kind == BS_RADIOBUTTON ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON);
        made = true;
        ready(i, buttons_[i]);
    }
    return made;
}

int ChoicePage::clickedEntry(int id, int code) const {
    const int i = id - FIRST_CHOICE_ID;
    if (i < 0 || i >= choices_.count() || !buttons_[i] || code != BN_CLICKED) return -1;
    return i;
}

void ChoicePage::layOutControls() {
    placeChoiceRows(buttons_.data(), choices_.count());
}

void ChoicePage::paint(HDC dc) {
    WizardWindow::paint(dc);
    if (choices_.overMenu()) placeChoiceRows(buttons_.data(), choices_.count());
}

HBRUSH ChoicePage::onCtlColor(HDC dc, HWND control, UINT) {
    int id = ::GetDlgCtrlID(control);
    if (id >= FIRST_CHOICE_ID && id < FIRST_CHOICE_ID + choices_.count()) return hollowLabel(dc);
    return nullptr;
}
