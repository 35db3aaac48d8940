#pragma once
// A text to accept: the text in a scrolling read-only box and a check box under it. Next is
// shown only while the box is checked; accepted means the page ended with WIZ_NEXT.
#include <string>

#include "wizard/wizard_window.h"

class AcceptPage : public WizardWindow {
public:
    explicit AcceptPage(const WizardEnvironment& environment) : WizardWindow(environment) {}

    void setAcceptText(const std::string& text) { acceptText_ = text; }
    void setAcceptLabel(const std::string& text) { acceptLabel_ = text; }
    bool hasAcceptText() const { return !acceptText_.empty(); }

protected:
    bool onInitDialog() override;
    void layOutControls() override;
    bool onCommand(int id, int code, HWND control) override;
    HBRUSH onCtlColor(HDC dc, HWND control, UINT message) override;

private:
    std::string acceptText_, acceptLabel_;
    HWND textBox_ = nullptr;
    HWND checkBox_ = nullptr;
};
