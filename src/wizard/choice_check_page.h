#pragma once
// The caller's strings as check boxes (the last page of the wizard). At most 20 strings; the
// go-on button (Next, else Finish) is shown while a box is checked or allowEmpty is set.
#include <array>
#include <string>
#include <vector>

#include "wizard/wizard_window.h"

class ChoiceCheckPage : public WizardWindow {
public:
    ChoiceCheckPage() = default;

    // Only indexes of added strings count: add the choices first.
    virtual void setChoiceChecked(int index, int value);
    virtual void addChoice(const std::string& text);
    virtual int isChoiceChecked(int index) const;

    bool allowEmpty = false;

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;

private:
    int count() const { return static_cast<int>(choices_.size()); }
    bool anyChecked() const;

    std::vector<std::string> choices_;
    std::array<int, MAX_CHECK_BOXES> states_{};
    std::array<HWND, MAX_CHECK_BOXES> boxes_{};
    int savedButtonFlags_ = 0;
};
