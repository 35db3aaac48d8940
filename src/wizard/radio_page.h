#pragma once
// A radio-button menu of at most 11 options: one plain radio button per option. The chosen
// option is selectedChoice and the only one of them marked in the Menu's optionSelected.
#include <array>
#include <string>
#include <vector>

#include "wizard/wizard_window.h"

struct Menu;

class RadioPage : public WizardWindow {
public:
    // The first marked option is the choice at the start, else option 0.
    explicit RadioPage(Menu* menu);

    // The string list of the choice pages, kept but not shown by this page.
    virtual void selectChoice(int index);
    virtual void addChoice(const std::string& text);
    virtual int selectedChoice() const { return selected_; }

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void paint(HDC dc) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;
    void onActivateApp(bool active) override;

    Menu* menu_;
    int selected_ = 0;

private:
    int buttonCount() const;

    std::array<HWND, MAX_RADIO_BUTTONS> buttons_{};
    std::vector<std::string> choices_;
};
