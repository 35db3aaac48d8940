#pragma once
// What the two list pages share: the owner-data list of a Menu's options, its rows' texts
// and the type-ahead search over them.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "fw/list_view.h"
#include "rules/type_ahead.h"
#include "rules/wizard_layout.h"

struct Menu;
class SetupConfig;
namespace platform {
class Clock;
}

class OptionList {
public:
    // The list of the menu's options in rect: one column, white text background, full-row
    // selection; extraStyle adds LVS_SINGLESEL or not.
    bool create(HWND parent, int id, const WizRect& rect, DWORD extraStyle, const Menu& menu);
    // Text and find requests of the list; empty for other notifications.
    std::optional<LRESULT> answer(const NMHDR& header, const Menu& menu);

    fw::ListView list;
    TypeAheadState typeAhead;
    // The clock of the type-ahead pauses; tests give their own.
    static void setClock(platform::Clock* clock);
};
