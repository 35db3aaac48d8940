#pragma once
// Results, navigation buttons and control ids shared by the wizard pages and their callers.

// A page's result, which is also the command id of its button.
inline constexpr int WIZ_NEXT = 1;
inline constexpr int WIZ_CANCEL = 2;
inline constexpr int WIZ_FINISH = 6;
inline constexpr int WIZ_BACK = 7;

// buttonFlags bits.
inline constexpr int BUTTON_BACK = 1;
inline constexpr int BUTTON_NEXT = 2;  // shown unless BUTTON_FINISH is set too
inline constexpr int BUTTON_CANCEL = 4;
inline constexpr int BUTTON_FINISH = 8;  // shown in the place of Next

// Choice control i of a page has the id FIRST_CHOICE_ID + i.
inline constexpr int FIRST_CHOICE_ID = 2258;
inline constexpr int RADIO_LIST_VIEW_ID = 2271;
inline constexpr int CHECK_LIST_VIEW_ID = 2279;

inline constexpr int MAX_CHECK_BOXES = 20;    // CheckListPage shows at most 19 options
inline constexpr int MAX_RADIO_BUTTONS = 12;  // RadioPage shows at most 11 options
