#pragma once
// A check box for each entry of a menu (a check-list menu of at most 19 options, the marks
// written to the Menu's optionSelected at every click) or of a fixed list of the caller's
// strings (at most 20; the last page of the wizard). The go-on button (Next, else Finish) is
// shown while something is marked or allowEmpty is set.
#include <string>

#include "wizard/choice_page.h"

struct Menu;

class CheckPage : public ChoicePage {
public:
    // The caller's strings, added with addChoice.
    explicit CheckPage(const WizardEnvironment& environment);
    CheckPage(const WizardEnvironment& environment, Menu& menu);

    // A fixed list's strings; only an index of an added string counts.
    void addChoice(const std::string& text) { choices_.add(text); }
    void setChoiceChecked(int index, int value) { choices_.setMark(index, value); }
    int isChoiceChecked(int index) const { return choices_.mark(index); }

    bool allowEmpty = false;

protected:
    bool onInitDialog() override;
    void layOutControls() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    int savedButtonFlags_ = 0;
};
