// The check-list pages worked as a user would: boxes clicked and keyed, Enter with the focus on
// a box, ranges selected and typed in the list; the marks land in the Menu at once.
#include "wizard_fixture.h"

#include <commctrl.h>

#include "support/fakes.h"
#include "wizard/check_list_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/option_list.h"

namespace {

using namespace testing_support;

const std::vector<std::string> NATO = {
    "Alfa",    "Bravo", "Charlie", "Delta",  "Echo",     "Foxtrot", "Golf",   "Hotel",  "India",
    "Juliett", "Kilo",  "Lima",    "Mike",   "November", "Oscar",   "Papa",   "Quebec", "Romeo",
    "Sierra",  "Tango", "Uniform", "Victor", "Whiskey",  "X-ray",   "Yankee", "Zulu"};

TEST_F(WizardTest, CheckListPageFlow) {
    Menu& menu = makeMenu({"Contacts", "Calendar", "%01"});  // a text reference: text 1
    CheckListPage page(&menu);
    page.setTopText("Choose the software to install.");
    page.setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    struct Seen {
        bool nextAtStart = true, focusOnBox0 = false, nextAfterCheck = false,
             nextAfterUncheck = true, openAfterEnter = false, nextAfterSpace = false;
        std::string label2, shot;
        std::vector<int> marksAfterCheck, marksAfterUncheck, marksAfterSpace;
        int rowTops[3] = {}, expectedTops[3] = {};
        std::uint32_t besideLabel = 0;
    } seen;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND box[3];
        for (int i = 0; i < 3; ++i) box[i] = ::GetDlgItem(p, FIRST_CHOICE_ID + i);
        waitUntil([&] { return isVisible(box[2]); });  // placed at the first paint
        seen.nextAtStart = isVisible(page.nextButton());
        seen.focusOnBox0 = focusedControl(p) == box[0];
        seen.label2 = windowText(box[2]);
        int top = choiceBlockTop(page.contentRect, 3, page.lineHeight);
        for (int i = 0; i < 3; ++i) {
            seen.rowTops[i] = childRect(box[i]).top;
            seen.expectedTops[i] = choiceRowRect(page.contentRect, top, i, page.lineHeight).top;
        }
        RECT r = childRect(box[0]);
        seen.besideLabel =
            captureClient(p).at(r.right - 4, (r.top + r.bottom) / 2);  // hollow brush
        seen.shot = saveScreenshot(p, "check_list_page");

        RECT r1 = childRect(box[1]);
        clickAt(p, {r1.left + 6, (r1.top + r1.bottom) / 2});
        waitUntil([&] { return isChecked(box[1]); });
        seen.nextAfterCheck = isVisible(page.nextButton());
        seen.marksAfterCheck = marks(menu);
        clickButton(box[1]);
        waitUntil([&] { return !isChecked(box[1]); });
        seen.nextAfterUncheck = isVisible(page.nextButton());
        seen.marksAfterUncheck = marks(menu);
        // Enter on a box with nothing marked does nothing; the Space after it checks the box.
        focusControl(box[2]);
        pressKey(p, VK_RETURN);
        pressKey(p, VK_SPACE);
        waitUntil([&] { return isChecked(box[2]); });
        seen.openAfterEnter = ::IsWindowVisible(p);
        seen.nextAfterSpace = isVisible(page.nextButton());
        seen.marksAfterSpace = marks(menu);
        pressKey(p, VK_RETURN);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_FALSE(seen.nextAtStart);
    EXPECT_TRUE(seen.focusOnBox0);
    EXPECT_EQ(seen.label2, "Wizard Test Setup");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(seen.rowTops[i], seen.expectedTops[i]) << i;
    EXPECT_EQ(seen.besideLabel, skin_colour::PANEL);
    EXPECT_TRUE(seen.nextAfterCheck);
    EXPECT_EQ(seen.marksAfterCheck, (std::vector<int>{0, 1, 0}));
    EXPECT_FALSE(seen.nextAfterUncheck);
    EXPECT_EQ(seen.marksAfterUncheck, (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(seen.openAfterEnter);
    EXPECT_TRUE(seen.nextAfterSpace);
    EXPECT_EQ(seen.marksAfterSpace, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(marks(menu), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(page.buttonFlags, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_FALSE(seen.shot.empty());
}

// Finish is the go-on button when the page has no Next; a page opened with marks shows it.
TEST_F(WizardTest, CheckListPageWithFinish) {
    Menu& menu = makeMenu({"One", "Two"});
    menu.optionSelected[1] = 1;
    CheckListPage page(&menu);
    page.setButtons(BUTTON_FINISH | BUTTON_CANCEL);
    bool finishAtStart = false, finishAfterUncheck = true, boxChecked = false;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND box1 = ::GetDlgItem(p, FIRST_CHOICE_ID + 1);
        finishAtStart = isVisible(page.finishButton());
        boxChecked = isChecked(box1);
        clickButton(box1);
        waitUntil([&] { return !isChecked(box1); });
        finishAfterUncheck = isVisible(page.finishButton());
        clickButton(box1);
        waitUntil([&] { return isVisible(page.finishButton()); });
        clickButton(page.finishButton());
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_FINISH);
    EXPECT_TRUE(finishAtStart);
    EXPECT_TRUE(boxChecked);
    EXPECT_FALSE(finishAfterUncheck);
    EXPECT_EQ(marks(menu), (std::vector<int>{0, 1}));
}

TEST_F(WizardTest, CheckListViewPageFlow) {
    Menu& menu = makeMenu(NATO);
    testing_support::SteppingClock clock(1000000);
    OptionList::setClock(&clock);
    CheckListViewPage page(&menu);
    page.setTopText("Choose the software to install.");
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    struct Seen {
        std::vector<int> atStart, range, moved, typed, none, newSearch;
        bool focusOnList = false, nextWhenNone = false;
        RECT listRect{};
        std::string row3, shot;
    } seen;
    auto selectedRows = [&](HWND list) {
        std::vector<int> rows;
        for (int i = -1;
             (i = static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            rows.push_back(i);
        return rows;
    };
    auto marked = [&] {
        std::vector<int> rows;
        for (int i = 0; i < menu.optionCount; ++i)
            if (menu.optionSelected[i]) rows.push_back(i);
        return rows;
    };
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND list = ::GetDlgItem(p, CHECK_LIST_VIEW_ID);
        seen.atStart = marked();
        seen.focusOnList = focusedControl(p) == list;
        seen.listRect = childRect(list);
        char text[64] = "";
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list, LVM_GETITEMTEXTA, 3, reinterpret_cast<LPARAM>(&item));
        seen.row3 = text;
        seen.shot = saveScreenshot(p, "check_list_view_page");
        for (int i = 0; i < 3; ++i) pressKey(p, VK_DOWN, SHIFT);  // Shift+Down: rows 0..3
        waitUntil([&] { return marked().size() == 4; });
        seen.range = marked();
        pressKey(p, VK_DOWN);  // row 4 alone
        waitUntil([&] { return marked() == std::vector<int>{4}; });
        seen.moved = marked();
        typeText(p, "m");  // Mike
        waitUntil([&] { return selectedRows(list) == std::vector<int>{12}; });
        seen.typed = marked();
        pressKey(p, VK_SPACE, CONTROL);  // Ctrl+Space takes Mike out of the selection
        waitUntil([&] { return selectedRows(list).empty(); });
        seen.none = marked();
        seen.nextWhenNone = isVisible(page.nextButton());
        typeText(p, "g");
        waitUntil([&] { return selectedRows(list) == std::vector<int>{6}; });
        clock.now += 3000;  // a pause: "o" starts a new search
        typeText(p, "o");
        waitUntil([&] { return selectedRows(list) == std::vector<int>{14}; });
        seen.newSearch = marked();
        pressKey(p, VK_RETURN);
        waitForClose(p);
    });
    OptionList::setClock(nullptr);
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_EQ(seen.atStart, (std::vector<int>{0}));  // nothing marked: the first option
    EXPECT_TRUE(seen.focusOnList);
    EXPECT_EQ(seen.listRect.left, page.contentRect.left);
    EXPECT_EQ(seen.listRect.bottom, page.contentRect.bottom - 10);
    EXPECT_EQ(seen.row3, "Delta");
    EXPECT_EQ(seen.range, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(seen.moved, (std::vector<int>{4}));
    EXPECT_EQ(seen.typed, (std::vector<int>{12}));
    EXPECT_TRUE(seen.none.empty());
    EXPECT_TRUE(seen.nextWhenNone);
    EXPECT_EQ(seen.newSearch, (std::vector<int>{14}));
    EXPECT_FALSE(seen.shot.empty());
}

}  // namespace
