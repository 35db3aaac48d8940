#pragma once
// A check-list menu of 20 options or more: a multiple-selection list, one row per option.
// Selecting rows marks their options in the Menu at once; typing jumps to an option.
#include "wizard/check_list_page.h"
#include "wizard/option_list.h"

class CheckListViewPage : public CheckListPage {
public:
    explicit CheckListViewPage(Menu* menu) : CheckListPage(menu) {}

    HWND listWindow() const { return options_.list.hwnd(); }

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    void paint(HDC dc) override { WizardWindow::paint(dc); }
    HBRUSH onCtlColor(HDC, HWND, UINT) override { return nullptr; }
    std::optional<LRESULT> onNotify(const NMHDR& header) override;

private:
    OptionList options_;
};
