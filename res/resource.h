// Ids of the dialog templates, controls and commands, shared by Setup.rc, the code and the
// tests. Plain macros only: the resource compiler reads this file too.
#pragma once

// Dialog templates.
#define IDD_WIZARD_PAGE 102
#define IDD_SPLASH 129
#define IDD_PROGRESS 145

// Commands. The four wizard results are also the ids of the navigation buttons.
#define WIZ_NEXT 1
#define WIZ_CANCEL 2
#define ID_LOAD_FAILED 3
#define WIZ_FINISH 6
#define WIZ_BACK 7

// Controls of the progress dialog.
#define IDC_PROGRESS_BAR 1003
#define IDC_PROGRESS_TEXT 1004

// Choice controls of the pages: FIRST_CHOICE_ID + i for choice i.
#define FIRST_CHOICE_ID 2258
// The acceptance page's check box; its text box is FIRST_CHOICE_ID.
#define IDC_ACCEPT_CHECK 2259
#define RADIO_LIST_VIEW_ID 2271
#define CHECK_LIST_VIEW_ID 2279
