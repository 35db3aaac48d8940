#pragma once
// An owner-data report list of one column without a header: it holds no texts, its parent
// answers LVN_GETDISPINFO (supplyText) and LVN_ODFINDITEM with rows of its own data.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "fw/window.h"

namespace fw {

class ListView : public Window {
public:
    // A visible child with a border and a tab stop, LVS_REPORT | LVS_OWNERDATA |
    // LVS_NOCOLUMNHEADER plus the extra styles (LVS_SINGLESEL, LVS_SHOWSELALWAYS ...).
    bool create(HWND parent, int id, const RECT& rect, DWORD extraStyle);

    void setExtendedStyle(DWORD style);
    void setTextBackground(COLORREF colour);
    bool addColumn(int width);
    // Without invalidating the whole list.
    void setItemCount(int count);
    void setItemState(int item, UINT state, UINT mask);  // item -1: every row
    UINT itemState(int item, UINT mask) const;
    void ensureVisible(int item);

    // For the parent's text request (LVN_GETDISPINFOW, or the ANSI form an ANSI parent gets):
    // the UTF-8 text, cut to the list's buffer.
    static void supplyText(NMLVDISPINFOA& request, const std::string& text);
    static void supplyText(NMLVDISPINFOW& request, const std::string& text);
    // The text that a find request (LVN_ODFINDITEM) looks for, in UTF-8, or none when the
    // notification is not one. Both forms are read.
    static std::optional<std::string> findItemText(const NMHDR& header);
};

}  // namespace fw
