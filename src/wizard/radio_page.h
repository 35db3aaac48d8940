#pragma once
// One choice among the entries of a menu (a radio-button menu of at most 11 options; the
// chosen one is the only one marked in the Menu's optionSelected) or of a fixed list of the
// caller's strings (at most 12: the language, the platform, the menu file), as radio buttons.
#include <string>

#include "wizard/choice_page.h"

struct Menu;

class RadioPage : public ChoicePage {
public:
    // The caller's strings, added with addChoice; the first one is chosen at the start.
    explicit RadioPage(const WizardEnvironment& environment);
    // The first marked option is the choice at the start, else option 0.
    RadioPage(const WizardEnvironment& environment, Menu& menu);

    // A fixed list's strings; only an index of an added string counts. Over a menu the marks
    // choose, and both are ignored.
    void addChoice(const std::string& text) { choices_.add(text); }
    void selectChoice(int index);
    int selectedChoice() const { return selected_; }

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void onActivateApp(bool active) override;

private:
    bool chosenButtonMade() const;

    int selected_;
};
