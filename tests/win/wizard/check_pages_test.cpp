// The check-list pages worked as a user would: boxes clicked and keyed, Enter with the focus on
// a box, ranges selected and typed in the list; the marks land in the Menu at once.
#include "wizard_fixture.h"

#include <commctrl.h>

#include "support/fakes.h"
#include "wizard/check_list_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/option_list.h"

namespace {

using testing_support::PageDriver;

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
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND box[3];
        for (int i = 0; i < 3; ++i) box[i] = ::GetDlgItem(p, FIRST_CHOICE_ID + i);
        d.waitUntil([&] { return d.visible(box[2]); });  // placed at the first paint
        seen.nextAtStart = d.visible(page.nextButton());
        seen.focusOnBox0 = d.focused() == box[0];
        seen.label2 = testing_support::windowText(box[2]);
        int top = choiceBlockTop(page.contentRect, 3, page.lineHeight);
        for (int i = 0; i < 3; ++i) {
            seen.rowTops[i] = d.childRect(box[i]).top;
            seen.expectedTops[i] = choiceRowRect(page.contentRect, top, i, page.lineHeight).top;
        }
        RECT r = d.childRect(box[0]);
        seen.besideLabel = d.pixel(p, r.right - 4, (r.top + r.bottom) / 2);  // hollow brush
        seen.shot = d.screenshot(p, "check_list_page");

        RECT r1 = d.childRect(box[1]);
        d.mouseClick(p, {r1.left + 6, (r1.top + r1.bottom) / 2});
        d.waitUntil([&] { return d.checked(box[1]); });
        seen.nextAfterCheck = d.visible(page.nextButton());
        seen.marksAfterCheck = marks(menu);
        d.click(box[1]);
        d.waitUntil([&] { return !d.checked(box[1]); });
        seen.nextAfterUncheck = d.visible(page.nextButton());
        seen.marksAfterUncheck = marks(menu);
        // Enter on a box with nothing marked does nothing; the Space after it checks the box.
        d.focus(p, box[2]);
        d.key(VK_RETURN);
        d.key(VK_SPACE);
        d.waitUntil([&] { return d.checked(box[2]); });
        seen.openAfterEnter = ::IsWindowVisible(p);
        seen.nextAfterSpace = d.visible(page.nextButton());
        seen.marksAfterSpace = marks(menu);
        d.key(VK_RETURN);
        d.waitForClose(p);
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
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND box1 = ::GetDlgItem(p, FIRST_CHOICE_ID + 1);
        finishAtStart = d.visible(page.finishButton());
        boxChecked = d.checked(box1);
        d.click(box1);
        d.waitUntil([&] { return !d.checked(box1); });
        finishAfterUncheck = d.visible(page.finishButton());
        d.click(box1);
        d.waitUntil([&] { return d.visible(page.finishButton()); });
        d.click(page.finishButton());
        d.waitForClose(p);
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
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND list = ::GetDlgItem(p, CHECK_LIST_VIEW_ID);
        seen.atStart = marked();
        seen.focusOnList = d.focused() == list;
        seen.listRect = d.childRect(list);
        char text[64] = "";
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list, LVM_GETITEMTEXTA, 3, reinterpret_cast<LPARAM>(&item));
        seen.row3 = text;
        seen.shot = d.screenshot(p, "check_list_view_page");
        for (int i = 0; i < 3; ++i) d.key(VK_DOWN, true);  // Shift+Down: rows 0..3
        d.waitUntil([&] { return marked().size() == 4; });
        seen.range = marked();
        d.key(VK_DOWN);  // row 4 alone
        d.waitUntil([&] { return marked() == std::vector<int>{4}; });
        seen.moved = marked();
        d.type("m");  // Mike
        d.waitUntil([&] { return selectedRows(list) == std::vector<int>{12}; });
        seen.typed = marked();
        d.key(VK_SPACE, false, true);  // Ctrl+Space takes Mike out of the selection
        d.waitUntil([&] { return selectedRows(list).empty(); });
        seen.none = marked();
        seen.nextWhenNone = d.visible(page.nextButton());
        d.type("g");
        d.waitUntil([&] { return selectedRows(list) == std::vector<int>{6}; });
        clock.now += 3000;  // a pause: "o" starts a new search
        d.type("o");
        d.waitUntil([&] { return selectedRows(list) == std::vector<int>{14}; });
        seen.newSearch = marked();
        d.key(VK_RETURN);
        d.waitForClose(p);
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
