#include "fw/list_view.h"

#include <algorithm>
#include <cstring>

#include "fw/common_controls.h"
#include "platform/win32/wide_text_win.h"

namespace fw {

namespace {
// A text of an ANSI notification, in the ANSI code page.
std::string fromAnsi(const char* text) {
    if (!text) return {};
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return platform::win32::narrow(wide);
}
}  // namespace

bool ListView::create(HWND parent, int id, const RECT& rect, DWORD extraStyle) {
    if (hwnd()) return false;
    initCommonControls();
    CreationScope scope(this, WC_LISTVIEWA);
    setOwned();
    ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                          LVS_NOCOLUMNHEADER | extraStyle,
                      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      ::GetModuleHandleW(nullptr), nullptr);
    return hwnd() != nullptr;
}

void ListView::setExtendedStyle(DWORD style) {
    ::SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

void ListView::setTextBackground(COLORREF colour) {
    ::SendMessageW(hwnd(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colour));
}

bool ListView::addColumn(int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    wchar_t empty[] = L"";
    column.pszText = empty;
    return ::SendMessageW(hwnd(), LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)) != -1;
}

void ListView::setItemCount(int count) {
    ::SendMessageW(hwnd(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
}

void ListView::setItemState(int item, UINT state, UINT mask) {
    LVITEMW change{};
    change.state = state;
    change.stateMask = mask;
    ::SendMessageW(hwnd(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change));
}

UINT ListView::itemState(int item, UINT mask) const {
    return static_cast<UINT>(::SendMessageW(hwnd(), LVM_GETITEMSTATE, item, mask));
}

void ListView::ensureVisible(int item) {
    ::SendMessageW(hwnd(), LVM_ENSUREVISIBLE, item, FALSE);
}

void ListView::supplyText(NMLVDISPINFOA& request, const std::string& text) {
    LVITEMA& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    std::wstring wide = platform::win32::wide(text);
    int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                  item.pszText, item.cchTextMax - 1, nullptr, nullptr);
    item.pszText[n] = '\0';
}

void ListView::supplyText(NMLVDISPINFOW& request, const std::string& text) {
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    std::wstring wide = platform::win32::wide(text);
    std::size_t n = std::min(wide.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, wide.data(), n * sizeof(wchar_t));
    item.pszText[n] = L'\0';
}

std::optional<std::string> ListView::findItemText(const NMHDR& header) {
    if (header.code == LVN_ODFINDITEMA) {
        const LVFINDINFOA& find = reinterpret_cast<const NMLVFINDITEMA&>(header).lvfi;
        if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz) return std::string();
        return fromAnsi(find.psz);
    }
    if (header.code == LVN_ODFINDITEMW) {
        const LVFINDINFOW& find = reinterpret_cast<const NMLVFINDITEMW&>(header).lvfi;
        if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL))) return std::string();
        return platform::win32::narrow(find.psz);
    }
    return std::nullopt;
}

}  // namespace fw
