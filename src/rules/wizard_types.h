#pragma once
// Results, navigation buttons and control ids shared by the wizard pages and their callers.
// The results (WIZ_NEXT 1, WIZ_CANCEL 2, WIZ_FINISH 6, WIZ_BACK 7, also the command ids of
// the buttons) and the control ids (FIRST_CHOICE_ID, RADIO_LIST_VIEW_ID, CHECK_LIST_VIEW_ID)
// are in resource.h, which the resource compiler reads too; the texts and the page limits
// are in wizard_constants.h.
#include "resource.h"
#include "rules/wizard_constants.h"

// The page's size; it stands centred on the screen until it has been placed.
inline constexpr int WIZARD_WIDTH = 600;
inline constexpr int WIZARD_HEIGHT = 420;

// buttonFlags bits.
inline constexpr int BUTTON_BACK = 1;
inline constexpr int BUTTON_NEXT = 2;  // shown unless BUTTON_FINISH is set too
inline constexpr int BUTTON_CANCEL = 4;
inline constexpr int BUTTON_FINISH = 8;  // shown in the place of Next
