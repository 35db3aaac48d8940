// Every page class as a screen reader and a keyboard user meet it: the page's client object
// and its children asked through AccessibleObjectFromWindow (names, roles, states, shortcuts,
// the page's caption and painted texts), the tab order met key by key, the page left by a
// mnemonic or Escape.
#include <oleacc.h>

#include <functional>

#include "support/accessible_view_win.h"
#include "wizard/accept_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/check_page.h"
#include "wizard/radio_list_view_page.h"
#include "wizard/radio_page.h"
#include "wizard/text_page.h"
#include "wizard_fixture.h"

namespace {

using namespace testing_support;

constexpr long HIDDEN = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE;
constexpr int F0 = FIRST_CHOICE_ID, F1 = FIRST_CHOICE_ID + 1;

struct Control {
    int id;
    std::string name;
    long role;
    long stateOn = 0, stateOff = 0;  // bits that must be set, and bits that must not
    std::string shortcut = "";
};

// The navigation buttons as readers must see them.
Control next(long on = 0, long off = HIDDEN) {
    return {WIZ_NEXT, "Next", ROLE_SYSTEM_PUSHBUTTON, on, off, "Alt+N"};
}
Control finish(long on = HIDDEN, long off = 0) {
    return {WIZ_FINISH, "Finish", ROLE_SYSTEM_PUSHBUTTON, on, off, "Alt+F"};
}
Control cancel(long on = 0, long off = HIDDEN) {
    return {WIZ_CANCEL, "Cancel", ROLE_SYSTEM_PUSHBUTTON, on, off, "Alt+C"};
}
Control back(long on = HIDDEN, long off = 0) {
    return {WIZ_BACK, "Back", ROLE_SYSTEM_PUSHBUTTON, on, off, "Alt+B"};
}

struct PageCase {
    const char* name;
    std::function<std::unique_ptr<WizardWindow>()> make;
    std::string pageName, description;
    std::vector<Control> children;  // every child, in the order readers and the tab key meet them
    std::vector<int> tabs;          // the focus at the start and after each Tab, round to the start
    std::vector<std::pair<UINT, unsigned>> ending;  // keys (and modifiers) that end the page
    int result;
};

TEST_F(WizardTest, EveryPageClassToReadersAndTheKeyboard) {
    const std::vector<std::string> nato = {"Alfa",    "Bravo", "Charlie", "Delta",   "Echo",
                                           "Foxtrot", "Golf",  "Hotel",   "India",   "Juliett",
                                           "Kilo",    "Lima",  "Mike",    "November"};
    std::vector<std::string> twenty = nato;
    twenty.insert(twenty.end(), {"Oscar", "Papa", "Quebec", "Romeo", "Sierra", "Tango"});
    auto texts = [](WizardWindow& page, const char* caption, const char* top, const char* bottom,
                    const char* side, int buttons) {
        page.setCaption(caption);
        page.setTopText(top);
        page.setBottomText(bottom);
        page.setSideText(side);
        page.setButtons(buttons);
        page.confirmCancel = false;
    };
    const long focused = STATE_SYSTEM_FOCUSED, checked = STATE_SYSTEM_CHECKED;
    const PageCase cases[] = {
        {"radio-page",
         [&] {
             auto page = std::make_unique<RadioPage>(env);
             page->addChoice("English");
             page->addChoice("Deutsch");
             texts(*page, "Language", "Choose a language.", "Press Next to go on.", "Version 1.0",
                   BUTTON_NEXT | BUTTON_CANCEL);
             return page;
         },
         "Language",
         "Choose a language.\r\nPress Next to go on.\r\nVersion 1.0",
         {{F0, "English", ROLE_SYSTEM_RADIOBUTTON, focused | checked, HIDDEN},
          {F1, "Deutsch", ROLE_SYSTEM_RADIOBUTTON, 0, focused | checked | HIDDEN},
          next(0, focused | HIDDEN),
          finish(),
          cancel(),
          back()},
         {F0, F1, WIZ_NEXT, WIZ_CANCEL, F0},
         {{'N', ALT}},
         WIZ_NEXT},
        {"check-page",
         [&] {
             auto page = std::make_unique<CheckPage>(env, makeMenu({"Contacts", "Cal&endar"}));
             texts(*page, "", "Choose the software.", "", "",
                   BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
             return page;
         },
         "Wizard Test Setup",  // no caption: the window's title
         "Choose the software.",
         {{F0, "Contacts", ROLE_SYSTEM_CHECKBUTTON, focused, checked | HIDDEN},
          {F1, "Calendar", ROLE_SYSTEM_CHECKBUTTON, 0, focused | checked | HIDDEN, "Alt+E"},
          back(0, HIDDEN),
          next(HIDDEN, 0),  // nothing is marked yet
          finish(),
          cancel()},
         {F0, F1, WIZ_BACK, WIZ_CANCEL, F0},
         {{'E', ALT}, {'N', ALT}},  // the box's mnemonic marks it, and Next shows
         WIZ_NEXT},
        {"radio-list-view-page",
         [&] {
             auto page = std::make_unique<RadioListViewPage>(env, makeMenu(nato));
             texts(*page, "Products", "Please choose a product.", "", "",
                   BUTTON_NEXT | BUTTON_CANCEL);
             return page;
         },
         "Products",
         "Please choose a product.",
         {{RADIO_LIST_VIEW_ID, "Please choose a product.", ROLE_SYSTEM_LIST, focused, HIDDEN},
          next(),
          finish(),
          cancel(),
          back()},
         {RADIO_LIST_VIEW_ID, WIZ_NEXT, WIZ_CANCEL, RADIO_LIST_VIEW_ID},
         {{VK_ESCAPE, 0}},
         WIZ_CANCEL},
        {"check-list-view-page",
         [&] {
             auto page = std::make_unique<CheckListViewPage>(env, makeMenu(twenty));
             texts(*page, "Holidays", "Choose the holidays.", "Twenty countries.", "",
                   BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
             return page;
         },
         "Holidays",
         "Choose the holidays.\r\nTwenty countries.",
         {{CHECK_LIST_VIEW_ID, "Choose the holidays.", ROLE_SYSTEM_LIST, focused, HIDDEN},
          back(0, HIDDEN),
          next(),
          finish(),
          cancel()},
         {CHECK_LIST_VIEW_ID, WIZ_BACK, WIZ_NEXT, WIZ_CANCEL, CHECK_LIST_VIEW_ID},
         {{'B', ALT}},
         WIZ_BACK},
        {"accept-page",
         [&] {
             auto page = std::make_unique<AcceptPage>(env);
             page->setAcceptText("Clause 1 of the agreement.\r\nClause 2.");
             page->setAcceptLabel("I &accept the agreement");
             texts(*page, "Licence", "Please read the agreement.", "", "",
                   BUTTON_NEXT | BUTTON_CANCEL);
             return page;
         },
         "Licence",
         "Please read the agreement.",
         {{F0, "Please read the agreement.", ROLE_SYSTEM_TEXT, 0, focused | HIDDEN},
          {IDC_ACCEPT_CHECK, "I accept the agreement", ROLE_SYSTEM_CHECKBUTTON, focused,
           checked | HIDDEN, "Alt+A"},
          next(HIDDEN, 0),  // until the box is ticked
          finish(),
          cancel(),
          back()},
         {IDC_ACCEPT_CHECK, WIZ_CANCEL, F0, IDC_ACCEPT_CHECK},
         {{'A', ALT}, {VK_RETURN, 0}},  // ticked by its mnemonic, the focus on Next
         WIZ_NEXT},
        {"text-page",
         [&] {
             auto page = std::make_unique<TextPage>(env);
             page->setText("Contacts 2.0\r\nCalendar 1.5");
             texts(*page, "Summary", "The following software will be installed:", "", "",
                   BUTTON_FINISH);
             return page;
         },
         "Summary",
         "The following software will be installed:",
         {{F0, "The following software will be installed:", ROLE_SYSTEM_TEXT, 0, HIDDEN},
          next(HIDDEN, 0),
          finish(focused, HIDDEN),
          cancel(HIDDEN, 0),
          back()},
         {WIZ_FINISH, F0, WIZ_FINISH},
         {{'F', ALT}},
         WIZ_FINISH},
    };
    std::vector<std::uint32_t> focusedNext;  // Next's middle whenever Tab gave it the focus
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<WizardWindow> page = c.make();
        AccessibleView seenPage;
        std::vector<int> seenChildren, seenTabs;
        std::vector<AccessibleView> seenControls;
        int result = runScripted(*page, [&](PageDriver&, HWND p) {
            // A menu's buttons show at the first paint.
            waitUntil([&] { return isVisible(::GetDlgItem(p, c.children.front().id)); });
            seenPage = readAccessible(p);
            for (HWND child : accessibleChildWindows(p))
                seenChildren.push_back(::GetDlgCtrlID(child));
            for (const Control& control : c.children)
                seenControls.push_back(readAccessible(::GetDlgItem(p, control.id)));
            saveScreenshot(p, std::string(c.name) + "-focus-start");
            seenTabs.push_back(focusedId(p));
            for (std::size_t i = 1; i < c.tabs.size(); ++i) {
                const int before = focusedId(p);
                pressKey(p, VK_TAB);
                waitUntil([&] { return focusedId(p) != before; });
                seenTabs.push_back(focusedId(p));
                if (focusedId(p) == WIZ_NEXT) {
                    RECT r = childRect(page->nextButton());
                    focusedNext.push_back(
                        captureClient(p).at((r.left + r.right) / 2, (r.top + r.bottom) / 2));
                }
                if (i == 1) saveScreenshot(p, std::string(c.name) + "-focus-tab");
            }
            for (auto [key, modifiers] : c.ending) pressKey(p, key, modifiers);
            waitForClose(p);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_TRUE(seenPage.found);
        EXPECT_EQ(seenPage.name, c.pageName);
        EXPECT_EQ(seenPage.role, ROLE_SYSTEM_DIALOG);
        EXPECT_EQ(seenPage.description, c.description);
        std::vector<int> ids;
        for (const Control& control : c.children) ids.push_back(control.id);
        EXPECT_EQ(seenChildren, ids);
        for (std::size_t i = 0; i < c.children.size() && i < seenControls.size(); ++i) {
            const Control& want = c.children[i];
            const AccessibleView& seen = seenControls[i];
            SCOPED_TRACE(want.name);
            EXPECT_EQ(seen.name, want.name);
            EXPECT_EQ(seen.role, want.role);
            EXPECT_EQ(seen.shortcut, want.shortcut);
            EXPECT_EQ(seen.state & want.stateOn, want.stateOn) << std::hex << seen.state;
            EXPECT_EQ(seen.state & want.stateOff, 0) << std::hex << seen.state;
        }
        EXPECT_EQ(seenTabs, c.tabs);
    }
    EXPECT_EQ(focusedNext, std::vector<std::uint32_t>(3, skin_colour::NEXT_FOCUS));
}

}  // namespace
