#pragma once
// What the check and radio pages share: one button per entry of their ChoiceList, in a block
// of rows centred in contentRect, the labels transparent over the panel. The buttons are made
// in their rows; a menu's are moved to them again at every paint.
#include <array>
#include <functional>

#include "rules/choice_list.h"
#include "wizard/wizard_window.h"

class ChoicePage : public WizardWindow {
protected:
    ChoicePage(const WizardEnvironment& environment, const ChoiceList& choices)
        : WizardWindow(environment), choices_(choices) {}

    // Makes the buttons (BS_CHECKBOX or BS_RADIOBUTTON), each one handed to ready as soon as
    // it is made (its check and focus come before the next button); false when none was made.
    bool makeButtons(DWORD kind, const std::function<void(int index, HWND button)>& ready);
    HWND button(int index) const { return buttons_[index]; }
    // The entry a click command is for, else -1.
    int clickedEntry(int id, int code) const;

    void layOutControls() override;
    void paint(HDC dc) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;

    ChoiceList choices_;

private:
    std::array<HWND, MAX_CHECK_BOXES> buttons_{};
    static_assert(MAX_CHECK_BOXES >= MAX_RADIO_BUTTONS);
};
