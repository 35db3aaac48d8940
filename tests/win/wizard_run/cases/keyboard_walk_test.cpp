// The sample disc's wizard walked with the keyboard alone, from the language page to the
// closing page: arrows move within the choices and Space marks, Enter goes on from a choice,
// Alt+B and Enter on Back go back, Escape asks the question, Tab follows the reading order.
// The screenshots show the focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "../../installers/cases/wine_support.h"
#include "resource.h"
#include "session.h"
#include "support/fakes.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;
using namespace wizard_run;
namespace fs = std::filesystem;

// examples/disc as it stands, with Setup.exe.
struct SampleDisc {
    ScratchDir dir, work;
    std::string temp;
    SampleDisc() {
        fs::path sample =
            fs::path(wine_support::windowsPathFromEnv("SETUP_SOURCE_DIR")) / "examples" / "disc";
        fs::copy(sample, dir.path(), fs::copy_options::recursive);
        fs::copy_file(wine_support::binDir() + "\\Setup.exe", dir.path() / "Setup.exe");
        temp = work.str() + "\\tmp";
        fs::create_directories(temp);
    }
    std::string exe() const { return dir.str() + "\\Setup.exe"; }
};

int choiceOf(HWND page, const std::string& label) {
    for (int i = 0; ::GetDlgItem(page, FIRST_CHOICE_ID + i); ++i)
        if (windowText(choice(page, i)) == label) return i;
    return -1;
}

// From the focused choice to the one with the label by arrow keys, then Space on it.
bool arrowToAndMark(HWND page, const std::string& label, bool radio) {
    const int target = choiceOf(page, label);
    EXPECT_GE(target, 0) << label;
    int at = focusedId(page) - FIRST_CHOICE_ID;
    while (target >= 0 && at != target) {
        const int step = at < target ? 1 : -1;
        pressKey(page, step > 0 ? VK_DOWN : VK_UP);
        if (!waitUntil([&] { return focusedId(page) == FIRST_CHOICE_ID + at + step; }))
            return false;
        at += step;
    }
    const bool was = isChecked(choice(page, target));
    pressKey(page, VK_SPACE);
    return waitUntil([&] { return isChecked(choice(page, target)) == (radio || !was); });
}

TEST(KeyboardWalk, TheSampleDiscByKeysAloneToTheClosingPage) {
    SampleDisc disc;
    Session s(disc, "keys-");
    ASSERT_TRUE(s.started());

    // A radio page answered by keys: the arrows to the label, Space, Enter.
    auto choose = [&](const char* page, int choices, const std::string& label) {
        HWND p = s.page(page, choices);
        EXPECT_TRUE(p && arrowToAndMark(p, label, true)) << page;
        if (p) pressKey(p, VK_RETURN);
    };

    HWND p = s.page("language", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(focusedId(p), FIRST_CHOICE_ID);
    EXPECT_TRUE(arrowToAndMark(p, "Deutsch", true));
    EXPECT_TRUE(arrowToAndMark(p, "English", true));
    EXPECT_FALSE(isChecked(choice(p, 1)));
    pressKey(p, VK_RETURN);  // on a choice: Next

    p = s.page("platform", 2);
    ASSERT_TRUE(p);
    EXPECT_TRUE(arrowToAndMark(p, "Palm OS handheld", true));
    pressAlt(p, 'N');

    p = s.page("licence", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(focusedId(p), IDC_ACCEPT_CHECK);
    EXPECT_FALSE(isVisible(p, WIZ_NEXT));
    pressKey(p, VK_SPACE);
    EXPECT_TRUE(waitUntil([&] { return focusedId(p) == WIZ_NEXT; }));  // shown and focused
    s.shot(p, "licence-next-focused");
    pressKey(p, VK_RETURN);

    choose("products", 2, "Organizer Suite");
    choose("start-menu", 6, "Custom installation (choose the programs)");

    // A check list: Space marks, the arrows move on without marking; Escape asks, N answers No.
    p = s.page("custom", 5);
    ASSERT_TRUE(p);
    EXPECT_EQ(focusedId(p), FIRST_CHOICE_ID);
    EXPECT_TRUE(arrowToAndMark(p, windowText(choice(p, 0)), false));
    EXPECT_TRUE(arrowToAndMark(p, windowText(choice(p, 2)), false));
    EXPECT_FALSE(isChecked(choice(p, 1)));
    s.shot(p, "custom-focus");
    pressKey(p, VK_ESCAPE);
    HWND box = s.messageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), "Do you really want to leave Setup?");
    pressKey(box, 'N');
    EXPECT_TRUE(waitForClose(box));
    EXPECT_TRUE(::IsWindowVisible(p));
    // Tab goes on in reading order: the boxes below, then Back; Enter on it goes back.
    for (int id : {FIRST_CHOICE_ID + 3, FIRST_CHOICE_ID + 4, int{WIZ_BACK}}) {
        pressKey(p, VK_TAB);
        EXPECT_TRUE(waitUntil([&] { return focusedId(p) == id; })) << focusedId(p);
    }
    pressKey(p, VK_RETURN);

    choose("start-menu-after-back", 6, "Extras: world clock, public holidays, web site");
    choose("extras", 4, "World clock: choose your home city");

    // A list of cities: the arrows choose a row.
    p = s.page("world-clock");
    ASSERT_TRUE(p);
    HWND list = ::GetDlgItem(p, RADIO_LIST_VIEW_ID);
    EXPECT_EQ(focusedControl(p), list);
    pressKey(p, VK_DOWN);
    pressKey(p, VK_DOWN);
    auto selected = [&] {
        std::vector<ListRow> rows = listRows(list);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].selected) return static_cast<int>(i);
        return -1;
    };
    EXPECT_TRUE(waitUntil([&] { return selected() == 2; })) << selected();
    s.shot(p, "world-clock-row");
    pressAlt(p, 'B');
    p = s.page("extras-after-back", 4);
    ASSERT_TRUE(p);
    pressAlt(p, 'B');

    choose("start-menu-again", 6, "Leave Setup");

    // The closing page: the registration unticked (no browser), Tab to Next, Enter.
    p = s.page("closing", 1);
    ASSERT_TRUE(p);
    EXPECT_TRUE(arrowToAndMark(p, "Register my software on the web now", false));
    EXPECT_FALSE(isChecked(choice(p, 0)));
    pressKey(p, VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return focusedId(p) == WIZ_NEXT; })) << focusedId(p);
    s.shot(p, "closing-next-focused");
    pressKey(p, VK_RETURN);
    EXPECT_TRUE(s.ended());
}

}  // namespace
