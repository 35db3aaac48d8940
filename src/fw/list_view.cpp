#include "fw/list_view.h"

#include <algorithm>
#include <cstring>

#include "fw/common_controls.h"

namespace fw {

namespace {
std::string narrow(const wchar_t* text) {
    if (!text) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}
}  // namespace

bool ListView::create(HWND parent, int id, const RECT& rect, DWORD extraStyle) {
    if (hwnd()) return false;
    initCommonControls();
    CreationScope scope(this, WC_LISTVIEWA);
    setOwned();
    ::CreateWindowExA(0, WC_LISTVIEWA, "",
                      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                          LVS_NOCOLUMNHEADER | extraStyle,
                      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      ::GetModuleHandleA(nullptr), nullptr);
    return hwnd() != nullptr;
}

void ListView::setExtendedStyle(DWORD style) {
    ::SendMessageA(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

void ListView::setTextBackground(COLORREF colour) {
    ::SendMessageA(hwnd(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour));
}

bool ListView::addColumn(int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    char empty[] = "";
    column.pszText = empty;
    return ::SendMessageA(hwnd(), LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)) != -1;
}

void ListView::setItemCount(int count) {
    ::SendMessageA(hwnd(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
}

void ListView::setItemState(int item, UINT state, UINT mask) {
    LVITEMA change{};
    change.state = state;
    change.stateMask = mask;
    ::SendMessageA(hwnd(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change));
}

UINT ListView::itemState(int item, UINT mask) const {
    return static_cast<UINT>(::SendMessageA(hwnd(), LVM_GETITEMSTATE, item, mask));
}

void ListView::ensureVisible(int item) {
    ::SendMessageA(hwnd(), LVM_ENSUREVISIBLE, item, FALSE);
}

void ListView::supplyText(NMLVDISPINFOA& request, const std::string& text) {
    LVITEMA& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, text.data(), n);
    item.pszText[n] = '\0';
}

void ListView::supplyText(NMLVDISPINFOW& request, const std::string& text) {
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  item.pszText, item.cchTextMax - 1);
    item.pszText[n] = L'\0';
}

std::optional<std::string> ListView::findItemText(const NMHDR& header) {
    if (header.code == LVN_ODFINDITEMA) {
        const LVFINDINFOA& find = reinterpret_cast<const NMLVFINDITEMA&>(header).lvfi;
        if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) return std::string();
        return std::string(find.psz);
    }
    if (header.code == LVN_ODFINDITEMW) {
        const LVFINDINFOW& find = reinterpret_cast<const NMLVFINDITEMW&>(header).lvfi;
        if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL))) return std::string();
        return narrow(find.psz);
    }
    return std::nullopt;
}

}  // namespace fw
