// The radio pages worked as a user would: the choice follows clicks and the list, Enter and a
// double click go on, typing jumps to an option.
#include "wizard_fixture.h"

#include <commctrl.h>

#include "wizard/radio_list_view_page.h"
#include "wizard/radio_page.h"

namespace {

using namespace testing_support;

TEST_F(WizardTest, RadioPageFlow) {
    Menu& menu = makeMenu({"Psion", "Nokia 9210", "Pocket PC", "Palm"});
    menu.optionSelected[2] = 1;
    RadioPage page(&menu);
    page.setTopText("Which handheld do you use?");
    page.setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    bool startChecked = false, startFocused = false, onlyZero = false, zeroFocused = false;
    std::vector<int> afterClick;
    std::uint32_t besideLabel = 0;
    std::string shot;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND button[4];
        for (int i = 0; i < 4; ++i) button[i] = ::GetDlgItem(p, FIRST_CHOICE_ID + i);
        waitUntil([&] { return isVisible(button[3]); });
        startChecked = isChecked(button[2]) && !isChecked(button[0]);
        startFocused = focusedControl(p) == button[2];
        RECT r = childRect(button[1]);
        besideLabel = captureClient(p).at(r.right - 4, (r.top + r.bottom) / 2);
        shot = saveScreenshot(p, "radio_page");
        RECT r0 = childRect(button[0]);
        clickAt(p, {r0.left + 6, (r0.top + r0.bottom) / 2});
        waitUntil([&] { return isChecked(button[0]); });
        onlyZero = !isChecked(button[1]) && !isChecked(button[2]) && !isChecked(button[3]);
        zeroFocused = focusedControl(p) == button[0];
        afterClick = marks(menu);
        pressKey(p, VK_RETURN);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_TRUE(startChecked);
    EXPECT_TRUE(startFocused);
    EXPECT_EQ(besideLabel, skin_colour::PANEL);
    EXPECT_TRUE(onlyZero);
    EXPECT_TRUE(zeroFocused);
    EXPECT_EQ(afterClick, (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(page.selectedChoice(), 0);
    EXPECT_FALSE(shot.empty());
}

TEST_F(WizardTest, RadioListViewPageFlow) {
    Menu& menu = makeMenu({"Alfa", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel",
                           "India", "Juliett", "Kilo", "Lima", "Mike", "November"});
    RadioListViewPage page(&menu);
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
