#include "wizard/option_list.h"

#include <oleacc.h>

#include <string>

#include "config/setup_config.h"
#include "fw/accessible.h"
#include "menu/menu_file.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "rules/choice_list.h"
#include "rules/dpi_scale.h"
#include "wizard/wizard_window.h"

namespace {

// The key as the search takes it: UTF-8, or the ANSI code page's bytes for an ANSI disc (a
// character it lacks is '?', which starts the search over, as the ANSI list gave it).
std::string searchKey(const std::string& utf8, const Menu& menu, const SetupConfig* config) {
    if (typeAheadEncoding(menu, config) == platform::TextEncoding::Utf8) return utf8;
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        std::size_t start = pos;
        platform::nextCodePoint(utf8, pos);
        out += platform::ansiCodePage().fromUtf8(utf8.substr(start, pos - start)).value_or("?");
    }
    return out;
}

std::string label(const Menu& menu, int row, const SetupConfig* config) {
    if (row < 0 || row >= menu.optionCount) return {};
    return expandedLabel(menu, row, config);
}

}  // namespace

bool OptionList::create(HWND parent, int id, const WizRect& r, int dpi, DWORD extraStyle,
                        const Menu& menu, const std::string& name) {
    fw::AccessibleFacts facts;
    facts.name = name;
    facts.role = ROLE_SYSTEM_LIST;
    list.setAccessible(facts);
    RECT rect{r.left, r.top, r.right, r.bottom};
    // A group of its own from the start: a change of a list's style has it lay itself out.
    if (!list.create(parent, id, rect, WS_GROUP | LVS_SHOWSELALWAYS | extraStyle)) return false;
    ::SendMessageW(list.hwnd(), WM_SETREDRAW, FALSE, 0);
    list.setExtendedStyle(LVS_EX_FULLROWSELECT);
    list.setTextBackground(RGB(255, 255, 255));
    list.addColumn(r.width() - scaleToDpi(LIST_COLUMN_MARGIN, dpi));
    list.setItemCount(menu.optionCount);
    return true;
}

void OptionList::ready(int row) {
    if (!list.hwnd()) return;
    ::SendMessageW(list.hwnd(), WM_SETREDRAW, TRUE, 0);
    if (row >= 0) list.ensureVisible(row);
}

void OptionList::place(const WizRect& r, int dpi) {
    if (!list.hwnd()) return;
    ::SetWindowPos(list.hwnd(), nullptr, r.left, r.top, r.width(), r.height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(list.hwnd(), LVM_SETCOLUMNWIDTH, 0,
                   MAKELPARAM(r.width() - scaleToDpi(LIST_COLUMN_MARGIN, dpi), 0));
}

std::optional<LRESULT> OptionList::answer(const NMHDR& header, const Menu& menu,
                                          const WizardEnvironment& environment) {
    const SetupConfig* config = environment.config;
    if (auto text = fw::ListView::findItemText(header)) {
        platform::Clock& clock = environment.clock ? *environment.clock : platform::systemClock();
        std::int64_t now = clock.tickCount() / 1000;
        return typeAheadFind(typeAhead, searchKey(*text, menu, config), now, menu, config);
    }
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
                fw::ListView::supplyText(request, label(menu, request.item.iItem, config));
            return 0;
        }
        default: return std::nullopt;
    }
}
