// The radio pages worked as a user would: the choice follows clicks and the list, Enter and a
// double click go on, typing jumps to an option.
#include "wizard_fixture.h"

#include <commctrl.h>

#include <memory>

#include "wizard/radio_list_view_page.h"
#include "wizard/radio_page.h"

namespace {

using namespace testing_support;

// Both sources of a radio page: a menu's options (the first marked one chosen at the start, the
// choice marked in the Menu) and a fixed list of strings (chosen by selectChoice).
TEST_F(WizardTest, RadioPageFlows) {
    RadioPage early(env);
    early.selectChoice(1);  // before any choice: no effect
    EXPECT_EQ(early.selectedChoice(), 0);

    const std::vector<std::string> handhelds = {"Psion", "Nokia 9210", "Pocket PC", "Palm"},
                                   languages = {"English", "Deutsch",
                                                "Fran\xE7"
                                                "ais"};
    struct Case {
        const char* name;
        const char* shot;
        bool overMenu;
        const std::vector<std::string>& labels;
        int chosen;  // marked in the menu, or selected
        int buttons;
        bool byMouse, altN;
    } cases[] = {
        {"menu", "radio_page", true, handhelds, 2, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL, true,
         false},
        {"strings", "choice_radio_page", false, languages, 2, BUTTON_NEXT | BUTTON_CANCEL, false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.labels.size());
        std::vector<int> startMarks(n, 0);
        startMarks[c.chosen] = 1;
        Menu* menu = nullptr;
        auto made = choicePage<RadioPage>(c.overMenu, c.labels, startMarks, menu);
        if (c.overMenu) {
            made->selectChoice(0);  // the menu's marks choose
        } else {
            made->selectChoice(c.chosen);
            made->selectChoice(n);  // out of range: ignored
        }
        RadioPage& page = *made;
        page.setTopText(c.overMenu ? "Which handheld do you use?" : "Please choose your language.");
        page.setButtons(c.buttons);
        bool startChecked = false, startFocused = false, onlyZero = false, zeroFocused = false;
        std::vector<std::string> labels;
        std::vector<int> afterClick;
        std::uint32_t besideLabel = 0;
        std::string shot;
        int result = runScripted(page, [&](PageDriver&, HWND p) {
            std::vector<HWND> button;
            for (int i = 0; i < n; ++i) button.push_back(::GetDlgItem(p, FIRST_CHOICE_ID + i));
            waitUntil([&] { return isVisible(button.back()); });
            startChecked = true;
            for (int i = 0; i < n; ++i) {
                startChecked = startChecked && isChecked(button[i]) == (i == c.chosen);
                labels.push_back(testing_support::windowText(button[i]));
            }
            startFocused = focusedControl(p) == button[c.chosen];
            RECT r = childRect(button[1]);
            besideLabel = captureClient(p).at(r.right - 4, (r.top + r.bottom) / 2);
            shot = saveScreenshot(p, c.shot);
            if (c.byMouse) {
                RECT r0 = childRect(button[0]);
                clickAt(p, {r0.left + 6, (r0.top + r0.bottom) / 2});
            } else {
                clickButton(button[0]);
            }
            waitUntil([&] { return isChecked(button[0]) && !isChecked(button[c.chosen]); });
            onlyZero = true;
            for (int i = 1; i < n; ++i) onlyZero = onlyZero && !isChecked(button[i]);
            zeroFocused = focusedControl(p) == button[0];
            if (menu) afterClick = marks(*menu);
            if (c.altN)
                pressAlt(p, 'N');
            else
                pressKey(p, VK_RETURN);
            waitForClose(p);
        });
        EXPECT_EQ(result, WIZ_NEXT);
        EXPECT_TRUE(startChecked);
        EXPECT_TRUE(startFocused);
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(besideLabel, skin_colour::PANEL);
        EXPECT_TRUE(onlyZero);
        EXPECT_TRUE(zeroFocused);
        if (menu) {
            EXPECT_EQ(afterClick, (std::vector<int>{1, 0, 0, 0}));
        }
        EXPECT_EQ(page.selectedChoice(), 0);
        EXPECT_FALSE(shot.empty());
    }
}

TEST_F(WizardTest, RadioListViewPageFlow) {
    Menu& menu = makeMenu({"Alfa", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel",
                           "India", "Juliett", "Kilo", "Lima", "Mike", "November"});
    RadioListViewPage page(env, menu);
    page.setTopText("Please choose a product.");
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    std::vector<int> atStart, afterTyping;
    int typedChoice = -1;
    bool focusOnList = false;
    RECT listRect{};
    std::string shot;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND list = ::GetDlgItem(p, RADIO_LIST_VIEW_ID);
        atStart = marks(menu);
        focusOnList = focusedControl(p) == list;
        listRect = childRect(list);
        shot = saveScreenshot(p, "radio_list_view_page");
        typeText(p, "e");
        waitUntil([&] { return menu.optionSelected[4] == 1; });
        afterTyping = marks(menu);
        typedChoice = page.selectedChoice();
        RECT row{};
        row.left = LVIR_BOUNDS;
        ::SendMessageA(list, LVM_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&row));
        POINT at{listRect.left + row.left + 20, listRect.top + (row.top + row.bottom) / 2};
        clickAt(p, at, true);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_EQ(atStart[0], 1);
    EXPECT_TRUE(focusOnList);
    EXPECT_EQ(listRect.left, page.contentRect.left);
    EXPECT_EQ(listRect.bottom, page.contentRect.bottom);
    EXPECT_EQ(typedChoice, 4);
    EXPECT_EQ(afterTyping[0], 0);
    EXPECT_EQ(page.selectedChoice(), 6);
    std::vector<int> expected(14, 0);
    expected[6] = 1;
    EXPECT_EQ(marks(menu), expected);
    EXPECT_FALSE(shot.empty());
}

}  // namespace
