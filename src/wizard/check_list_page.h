#pragma once
// A check-list menu of at most 19 options: one plain check box per option. Every click is
// written to the Menu's optionSelected at once; the go-on button (Next, else Finish) is
// shown only while something is marked.
#include <array>
#include <string>
#include <vector>

#include "wizard/wizard_window.h"

struct Menu;

class CheckListPage : public WizardWindow {
public:
    explicit CheckListPage(Menu* menu) : menu_(menu) {}

    // The string list of the choice pages, kept but not shown by this page.
    virtual void setChoiceChecked(int index, int value);
    virtual void addChoice(const std::string& text);
    virtual int isChoiceChecked(int index) const;

    bool allowEmpty = false;

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void paint(HDC dc) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;

    Menu* menu_;
    int savedButtonFlags_ = 0;

private:
    int boxCount() const;

    std::array<HWND, MAX_CHECK_BOXES> boxes_{};
    std::vector<std::string> choices_;
    std::vector<int> states_;
};
