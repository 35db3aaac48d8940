#pragma once
// A radio-button menu of 12 options or more: a single-selection list, one row per option.
// Selecting a row chooses its option, a double click goes on, typing jumps to an option.
#include "wizard/option_list.h"
#include "wizard/wizard_window.h"

class RadioListViewPage : public WizardWindow {
public:
    // The first marked option is the choice at the start, else option 0.
    RadioListViewPage(const WizardEnvironment& environment, Menu& menu);

    HWND listWindow() const { return options_.list.hwnd(); }
    int selectedChoice() const { return selected_; }

protected:
    bool onInitDialog() override;
    void layOutControls() override;
    std::optional<LRESULT> onNotify(const NMHDR& header) override;

private:
    Menu& menu_;
    int selected_;
    OptionList options_;
};
