#pragma once
// A check-list menu of 20 options or more: a multiple-selection list, one row per option.
// Selecting rows marks their options in the Menu at once; typing jumps to an option.
#include "wizard/option_list.h"
#include "wizard/wizard_window.h"

class CheckListViewPage : public WizardWindow {
public:
    CheckListViewPage(const WizardEnvironment& environment, Menu& menu)
        : WizardWindow(environment), menu_(menu) {}

    HWND listWindow() const { return options_.list.hwnd(); }

protected:
    bool onInitDialog() override;
    void layOutControls() override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override;

private:
    WizRect listPlace() const;
    Menu& menu_;
    OptionList options_;
};
