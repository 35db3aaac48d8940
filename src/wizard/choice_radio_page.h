#pragma once
// One choice among the caller's strings, as radio buttons (the language, the platform, the
// menu file). At most 12 strings.
#include <array>
#include <string>
#include <vector>

#include "wizard/wizard_window.h"

class ChoiceRadioPage : public WizardWindow {
public:
    ChoiceRadioPage() = default;

    // Only an index of an added string counts.
    virtual void selectChoice(int index);
    virtual void addChoice(const std::string& text);
    virtual int selectedChoice() const { return selected_; }

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;
    void onActivateApp(bool active) override;

private:
    int count() const { return static_cast<int>(choices_.size()); }

    std::vector<std::string> choices_;
    int selected_ = 0;
    std::array<HWND, MAX_RADIO_BUTTONS> buttons_{};
};
