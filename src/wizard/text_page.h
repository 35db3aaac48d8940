#pragma once
// A text in a scrolling read-only box (the summary before installing, a page that reports a
// problem). Lines are separated by "\r\n".
#include <string>

#include "wizard/wizard_window.h"

class TextPage : public WizardWindow {
public:
    explicit TextPage(const WizardEnvironment& environment) : WizardWindow(environment) {}

    void setText(const std::string& text) { text_ = text; }

protected:
    bool onInitDialog() override;
    void layOutControls() override;

private:
    std::string text_;
    HWND textBox_ = nullptr;
};
