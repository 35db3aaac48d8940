#pragma once
// A radio-button menu of 12 options or more: a single-selection list, one row per option.
// Selecting a row chooses its option, a double click goes on, typing jumps to an option.
#include "wizard/option_list.h"
#include "wizard/radio_page.h"

class RadioListViewPage : public RadioPage {
public:
    explicit RadioListViewPage(Menu* menu) : RadioPage(menu) {}

    HWND listWindow() const { return options_.list.hwnd(); }

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void paint(HDC dc) override { WizardWindow::paint(dc); }
    HBRUSH onCtlColor(HDC, HWND, UINT) override { return nullptr; }
    void onActivateApp(bool) override {}
    std::optional<LRESULT> onNotify(const NMHDR& header) override;

private:
    OptionList options_;
};
