#include "wizard/check_list_view_page.h"

#include "menu/menu_file.h"

// The list stops short of contentRect's bottom.
WizRect CheckListViewPage::listPlace() const {
    WizRect r = contentRect;
    r.bottom -= scaled(CHECK_LIST_BOTTOM_GAP);
    return r;
}

void CheckListViewPage::layOutControls() {
    options_.place(listPlace(), dpi());
}

bool CheckListViewPage::onInitDialog() {
    WizardWindow::onInitDialog();
    options_.create(hwnd(), CHECK_LIST_VIEW_ID, listPlace(), dpi(), 0, menu_, questionName());
    fw::ListView& list = options_.list;
    int last = -1;
    for (int i = 0; i < menu_.optionCount; ++i) {
        if (menu_.optionSelected[i] != 1) continue;
        last = i;
        list.setItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (last < 0 && menu_.optionCount > 0) {
        menu_.optionSelected[0] = 1;
        list.setItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        last = 0;
    }
    options_.ready(last);
    ::SetFocus(list.hwnd());
    return false;
}

std::optional<LRESULT> CheckListViewPage::onNotify(const NMHDR& header) {
    if (static_cast<int>(header.idFrom) != CHECK_LIST_VIEW_ID) return std::nullopt;
    const int count = menu_.optionCount;
    switch (header.code) {
        case LVN_ITEMCHANGED:
        case LVN_ITEMACTIVATE: {
            // Both carry the row and its old and new states.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (change.uChanged & LVIF_STATE) {
                if (header.code == LVN_ITEMCHANGED || change.iItem >= 0)
                    applyCheckItemChange(menu_.optionSelected, count, change.iItem,
                                         change.uOldState, change.uNewState);
            }
            return 0;
        }
        case LVN_ODSTATECHANGED: {
            const auto& range = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
            applyCheckRangeChange(menu_.optionSelected, count, range.iFrom, range.iTo,
                                  range.uOldState, range.uNewState);
            return 0;
        }
        default: return options_.answer(header, menu_, environment());
    }
}
