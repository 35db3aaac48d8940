// The check pages worked as a user would: boxes clicked and keyed, Enter with the focus on a
// box, ranges selected and typed in the list; a menu's marks land in the Menu at once. Both
// list pages open with the marked row in view.
#include "wizard_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "platform/text_encoding.h"
#include "support/fakes.h"
#include "wizard/check_list_view_page.h"
#include "wizard/check_page.h"
#include "wizard/radio_list_view_page.h"

namespace {

using namespace testing_support;

const std::vector<std::string> NATO = {
    "Alfa",    "Bravo", "Charlie", "Delta",  "Echo",     "Foxtrot", "Golf",   "Hotel",  "India",
    "Juliett", "Kilo",  "Lima",    "Mike",   "November", "Oscar",   "Papa",   "Quebec", "Romeo",
    "Sierra",  "Tango", "Uniform", "Victor", "Whiskey",  "X-ray",   "Yankee", "Zulu"};

// Both sources of a check page: a menu's options (marks in the Menu at once, labels with text
// references) and a fixed list of strings (marks of the page, the top text limited to the block).
TEST_F(WizardTest, CheckPageFlows) {
    const std::vector<std::string> software = {"Contacts", "Calendar", "%01"},  // %01: text 1
        two = {"One", "Two"}, closing = {"Register my software on the web"}, one = {"Register"};
    struct Case {
        const char* name;
        const char* shot;  // null: none
        bool overMenu;
        const std::vector<std::string>& labels;
        const char* startMarks;  // a digit a label
        bool allowEmpty;
        int buttons, toggled;
        bool goOnAtStart, goOnAfterToggle, goOnAfterSecondToggle;
        int result;
    } cases[] = {
        {"menu, Next", "check_list_page", true, software, "000", false,
         BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL, 1, false, true, false, WIZ_NEXT},
        // Finish is the go-on button when the page has no Next; a page opened with marks shows it.
        {"menu, Finish", nullptr, true, two, "01", false, BUTTON_FINISH | BUTTON_CANCEL, 1, true,
         false, true, WIZ_FINISH},
        // The closing page: one box, checked, allowEmpty.
        {"strings, checked, allowEmpty", "choice_check_page", false, closing, "1", true,
         BUTTON_FINISH, 0, true, true, true, WIZ_FINISH},
        {"strings, unchecked, allowEmpty", nullptr, false, one, "0", true, BUTTON_FINISH, 0, false,
         true, true, WIZ_FINISH},
        {"strings, unchecked", nullptr, false, one, "0", false, BUTTON_FINISH, 0, false, true,
         false, WIZ_NEXT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.labels.size());
        std::vector<int> startMarks;
        for (const char* m = c.startMarks; *m; ++m) startMarks.push_back(*m - '0');
        std::vector<std::string> shown = c.labels;
        std::replace(shown.begin(), shown.end(), std::string("%01"),
                     std::string("Wizard Test Setup"));
        Menu* menu = nullptr;
        auto made = choicePage<CheckPage>(c.overMenu, c.labels, startMarks, menu);
        if (!c.overMenu) {
            for (int i = 0; i < n; ++i) made->setChoiceChecked(i, startMarks[i]);
            made->setChoiceChecked(n, 1);  // no such choice
        }
        CheckPage& page = *made;
        page.allowEmpty = c.allowEmpty;
        page.setTopText(c.overMenu ? "Choose the software to install." : "Setup has finished.");
        page.setButtons(c.buttons);
        auto shownMarks = [&] {
            if (menu) return marks(*menu);
            std::vector<int> m;
            for (int i = 0; i < n; ++i) m.push_back(page.isChoiceChecked(i));
            return m;
        };
        auto goOn = [&] {
            return isVisible(c.buttons & BUTTON_NEXT ? page.nextButton() : page.finishButton());
        };
        std::vector<int> afterToggle = startMarks, afterSecond = startMarks;
        afterToggle[c.toggled] = 1 - afterToggle[c.toggled];
        struct Seen {
            bool goOnAtStart = false, focusOnBox0 = false, goOnAfterToggle = false,
                 goOnAfterSecond = false, openAfterEnter = false, goOnAfterSpace = false;
            std::vector<std::string> labels;
            std::vector<int> checkedAtStart, marksAfterToggle, marksAfterSecond, marksAfterSpace;
            std::vector<int> rowTops, expectedTops;
            int limit = 0, expectedLimit = 0;
            std::uint32_t besideLabel = 0;
            std::string shot;
        } seen;
        int result = runScripted(page, [&](PageDriver&, HWND p) {
            std::vector<HWND> box;
            for (int i = 0; i < n; ++i) box.push_back(::GetDlgItem(p, FIRST_CHOICE_ID + i));
            waitUntil([&] { return isVisible(box.back()); });  // a menu's: at the first paint
            seen.goOnAtStart = goOn();
            seen.focusOnBox0 = focusedControl(p) == box[0];
            const int top = choiceBlockTop(page.contentRect, n, page.lineHeight);
            for (int i = 0; i < n; ++i) {
                seen.labels.push_back(testing_support::windowText(box[i]));
                seen.checkedAtStart.push_back(isChecked(box[i]) ? 1 : 0);
                seen.rowTops.push_back(childRect(box[i]).top);
                seen.expectedTops.push_back(
                    choiceRowRect(page.contentRect, top, i, page.lineHeight).top);
            }
            seen.limit = page.topTextLimit;
            seen.expectedLimit = c.overMenu ? page.contentRect.top : top;
            RECT r = childRect(box[0]);
            seen.besideLabel =
                captureClient(p).at(r.right - 4, (r.top + r.bottom) / 2);  // hollow brush
            if (c.shot) seen.shot = saveScreenshot(p, c.shot);

            HWND toggled = box[c.toggled];
            const bool wasChecked = isChecked(toggled);
            RECT t = childRect(toggled);
            clickAt(p, {t.left + 6, (t.top + t.bottom) / 2});
            waitUntil([&] { return isChecked(toggled) != wasChecked; });
            seen.goOnAfterToggle = goOn();
            seen.marksAfterToggle = shownMarks();
            clickButton(toggled);
            waitUntil([&] { return isChecked(toggled) == wasChecked; });
            seen.goOnAfterSecond = goOn();
            seen.marksAfterSecond = shownMarks();
            if (seen.goOnAfterSecond) {
                clickButton(page.finishButton());
            } else {
                // Enter on a box with nothing marked does nothing; the Space after it checks
                // the box.
                focusControl(box.back());
                pressKey(p, VK_RETURN);
                pressKey(p, VK_SPACE);
                waitUntil([&] { return isChecked(box.back()); });
                seen.openAfterEnter = ::IsWindowVisible(p);
                seen.goOnAfterSpace = goOn();
                seen.marksAfterSpace = shownMarks();
                pressKey(p, VK_RETURN);
            }
            waitForClose(p);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(seen.goOnAtStart, c.goOnAtStart);
        EXPECT_TRUE(seen.focusOnBox0);
        EXPECT_EQ(seen.labels, shown);
        EXPECT_EQ(seen.checkedAtStart, startMarks);
        EXPECT_EQ(seen.rowTops, seen.expectedTops);
        EXPECT_EQ(seen.limit, seen.expectedLimit);
        EXPECT_EQ(seen.besideLabel, skin_colour::PANEL);
        EXPECT_EQ(seen.goOnAfterToggle, c.goOnAfterToggle);
        EXPECT_EQ(seen.marksAfterToggle, afterToggle);
        EXPECT_EQ(seen.goOnAfterSecond, c.goOnAfterSecondToggle);
        EXPECT_EQ(seen.marksAfterSecond, afterSecond);
        if (!c.goOnAfterSecondToggle) {
            std::vector<int> spaced = afterSecond;
            spaced.back() = 1;
            EXPECT_TRUE(seen.openAfterEnter);
            EXPECT_TRUE(seen.goOnAfterSpace);
            EXPECT_EQ(seen.marksAfterSpace, spaced);
            EXPECT_EQ(shownMarks(), spaced);
        } else {
            EXPECT_EQ(shownMarks(), afterSecond);
        }
        EXPECT_EQ(page.buttonFlags, c.buttons);
        if (!c.overMenu) {
            EXPECT_EQ(page.isChoiceChecked(n), 0);
        }
        if (c.shot) {
            EXPECT_FALSE(seen.shot.empty());
        }
    }
}

TEST_F(WizardTest, CheckListViewPageFlow) {
    Menu& menu = makeMenu(NATO);
    testing_support::SteppingClock clock(1000000);
    env.clock = &clock;
    CheckListViewPage page(env, menu);
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

// A Unicode disc's list: rows and top text drawn whole through the wide functions, and the
// wide keys of a Greek word found folded (case and accents do not count).
TEST_F(WizardTest, CheckListViewPageUnicodeFlow) {
    Menu& menu = makeMenu({"Alpha", "Ωμέγα", "Русский", "日本語"});
    menu.textEncoding = platform::TextEncoding::Utf8;
    CheckListViewPage page(env, menu);
    page.setTopText("Выберите программы · Ελληνικά · 日本語");
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    std::string row1, row3, shot;
    std::vector<int> typed;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND list = ::GetDlgItem(p, CHECK_LIST_VIEW_ID);
        auto rowText = [list](int row) {
            wchar_t text[64] = L"";
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = 64;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            std::wstring_view w(text);
            return platform::utf16ToUtf8(
                std::u16string_view(reinterpret_cast<const char16_t*>(w.data()), w.size()));
        };
        row1 = rowText(1);
        row3 = rowText(3);
        shot = saveScreenshot(p, "unicode_list");
        typeCharacters(p, "ωμ");
        waitUntil([&] { return menu.optionSelected[1] == 1; });
        for (int i = 0; i < menu.optionCount; ++i)
            if (menu.optionSelected[i]) typed.push_back(i);
        pressKey(p, VK_RETURN);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_EQ(row1, "Ωμέγα");
    EXPECT_EQ(row3, "日本語");
    EXPECT_EQ(typed, (std::vector<int>{1}));
    EXPECT_FALSE(shot.empty());
}

// Both list pages open with the marked option in view, however far down the list it is, and
// paint its row as the selection.
TEST_F(WizardTest, ListPagesOpenWithTheMarkedRowInView) {
    struct Case {
        const char* name;
        bool radio;
        int marked;
    } cases[] = {{"check list, last row", false, 25},
                 {"check list, middle row", false, 19},
                 {"radio list, last row", true, 25}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Menu& menu = makeMenu(NATO);
        menu.optionSelected[c.marked] = 1;
        std::unique_ptr<WizardWindow> page;
        if (c.radio)
            page = std::make_unique<RadioListViewPage>(env, menu);
        else
            page = std::make_unique<CheckListViewPage>(env, menu);
        page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
        page->confirmCancel = false;
        RECT client{}, row{};
        bool visible = false, selected = false;
        int top = -1;
        runScripted(*page, [&](PageDriver&, HWND p) {
            HWND list = ::GetDlgItem(p, c.radio ? RADIO_LIST_VIEW_ID : CHECK_LIST_VIEW_ID);
            visible = isVisible(list);
            ::GetClientRect(list, &client);
            row.left = LVIR_BOUNDS;
            ::SendMessageA(list, LVM_GETITEMRECT, c.marked, reinterpret_cast<LPARAM>(&row));
            top = static_cast<int>(::SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
            selected = ::SendMessageA(list, LVM_GETITEMSTATE, c.marked, LVIS_SELECTED) != 0;
            pressKey(p, VK_ESCAPE);
            waitForClose(p);
        });
        EXPECT_TRUE(visible);
        EXPECT_TRUE(selected);
        EXPECT_GT(top, 0);
        EXPECT_GE(row.top, client.top);
        EXPECT_LE(row.bottom, client.bottom);
    }
}
