#pragma once
// What the two list pages share: the owner-data list of a Menu's options, its rows' texts
// and the type-ahead search over them.
#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <string>

#include "fw/list_view.h"
#include "rules/type_ahead.h"
#include "rules/wizard_layout.h"

struct Menu;
struct WizardEnvironment;

class OptionList {
public:
    // The list of the menu's options in rect: one column, white text background, full-row
    // selection; extraStyle adds LVS_SINGLESEL or not. Readers know it by the name. The
    // column's margin is scaled to dpi. It does not redraw until ready(): every setting and
    // mark before then would have it lay itself out and invalidate again.
    bool create(HWND parent, int id, const WizRect& rect, int dpi, DWORD extraStyle,
                const Menu& menu, const std::string& name);
    // The list redraws again, with row in view (none when negative); the scroll takes effect
    // only once the list redraws.
    void ready(int row);
    // Moves the list to rect (a change of DPI), its column following.
    void place(const WizRect& rect, int dpi);
    // Text and find requests of the list, the labels expanded and the type-ahead pauses timed
    // by the page's environment; empty for other notifications.
    std::optional<LRESULT> answer(const NMHDR& header, const Menu& menu,
                                  const WizardEnvironment& environment);

    fw::ListView list;
    TypeAheadState typeAhead;
};
