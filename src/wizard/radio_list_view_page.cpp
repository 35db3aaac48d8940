#include "wizard/radio_list_view_page.h"

#include "menu/menu_file.h"

RadioListViewPage::RadioListViewPage(const WizardEnvironment& environment, Menu& menu)
    : WizardWindow(environment),
      menu_(menu),
      selected_(initialRadioChoice(menu.optionSelected, menu.optionCount)) {}

bool RadioListViewPage::onInitDialog() {
    WizardWindow::onInitDialog();
    options_.create(hwnd(), RADIO_LIST_VIEW_ID, contentRect, dpi(), LVS_SINGLESEL, menu_,
                    questionName());
    // The row's change notification marks the option.
    options_.list.setItemState(selected_, LVIS_SELECTED | LVIS_FOCUSED,
                               LVIS_SELECTED | LVIS_FOCUSED);
    options_.ready(selected_);
    ::SetFocus(options_.list.hwnd());
    return false;
}

void RadioListViewPage::layOutControls() {
    options_.place(contentRect, dpi());
}

std::optional<LRESULT> RadioListViewPage::onNotify(const NMHDR& header) {
    if (static_cast<int>(header.idFrom) != RADIO_LIST_VIEW_ID) return std::nullopt;
    switch (header.code) {
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED))
                moveRadioChoice(menu_.optionSelected, menu_.optionCount, selected_, change.iItem);
            return 0;
        }
        case NM_DBLCLK: endDialog(WIZ_NEXT); return 0;
        default: return options_.answer(header, menu_, environment());
    }
}
