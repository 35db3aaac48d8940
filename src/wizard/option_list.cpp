#include "wizard/option_list.h"

#include <string>

#include "config/setup_config.h"
#include "menu/menu_file.h"
#include "platform/clock.h"
#include "rules/choice_list.h"
#include "wizard/wizard_window.h"

namespace {

// A search by typed keys names its text as a string, as a partial string, or both.
constexpr UINT SEARCH_TEXT = LVFI_STRING | LVFI_PARTIAL;

std::string label(const Menu& menu, int row, const SetupConfig* config) {
    if (row < 0 || row >= menu.optionCount) return {};
    return expandedLabel(menu, row, config);
}

std::string narrow(const wchar_t* text) {
    if (!text) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

void supplyWide(NMLVDISPINFOW& request, const std::string& text) {
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  item.pszText, item.cchTextMax - 1);
    item.pszText[n] = L'\0';
}

}  // namespace

bool OptionList::create(HWND parent, int id, const WizRect& r, DWORD extraStyle, const Menu& menu) {
    RECT rect{r.left, r.top, r.right, r.bottom};
    if (!list.create(parent, id, rect, LVS_SHOWSELALWAYS | extraStyle)) return false;
    list.setExtendedStyle(LVS_EX_FULLROWSELECT);
    list.setTextBackground(RGB(255, 255, 255));
    list.addColumn(r.width() - LIST_COLUMN_MARGIN);
    list.setItemCount(menu.optionCount);
    return true;
}

std::optional<LRESULT> OptionList::answer(const NMHDR& header, const Menu& menu,
                                          const WizardEnvironment& environment) {
    const SetupConfig* config = environment.config;
    switch (header.code) {
        case LVN_GETDISPINFOA: {
            auto& request =
                const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header));
            if (request.item.iSubItem == 0)
                fw::ListView::supplyText(request, label(menu, request.item.iItem, config));
            return 0;
        }
        case LVN_GETDISPINFOW: {
            auto& request =
                const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
            if (request.item.iSubItem == 0)
                supplyWide(request, label(menu, request.item.iItem, config));
            return 0;
        }
        case LVN_ODFINDITEMA:
        case LVN_ODFINDITEMW: {
            std::string text;
            if (header.code == LVN_ODFINDITEMA) {
                const auto& find = reinterpret_cast<const NMLVFINDITEMA&>(header);
                if ((find.lvfi.flags & SEARCH_TEXT) && find.lvfi.psz) text = find.lvfi.psz;
            } else {
                const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
                if (find.lvfi.flags & SEARCH_TEXT) text = narrow(find.lvfi.psz);
            }
            platform::Clock& clock =
                environment.clock ? *environment.clock : platform::systemClock();
            std::int64_t now = clock.tickCount() / 1000;
            return typeAheadFind(typeAhead, text, now, menu, config);
        }
        default: return std::nullopt;
    }
}
