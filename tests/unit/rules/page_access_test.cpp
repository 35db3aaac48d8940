#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/page_access.h"

namespace {

TEST(PageAccess, NamesAndShortcutsOfControlTexts) {
    struct Case {
        std::string text, name, shortcut;
    };
    const Case cases[] = {
        {"&Next", "Next", "Alt+N"},
        {"&back", "back", "Alt+B"},
        {"Fi&nish", "Finish", "Alt+N"},
        {"Save && &quit", "Save & quit", "Alt+Q"},
        {"Salt && pepper", "Salt & pepper", ""},
        {"Plain", "Plain", ""},
        {"Trailing &", "Trailing &", ""},
        {"", "", ""},
        {"&\xc3\xbc"
         "ber",
         "\xc3\xbc"
         "ber",
         "Alt+\xc3\xbc"},  // a letter of two bytes, whole
        {"&1 copy", "1 copy", "Alt+1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withoutMnemonic(c.text), c.name) << c.text;
        EXPECT_EQ(mnemonicShortcut(c.text), c.shortcut) << c.text;
    }
}

TEST(PageAccess, PageNameAndDescriptionFromThePaintedTexts) {
    struct Case {
        std::string caption, top, bottom, side, name, description;
    };
    const Case cases[] = {
        {"Games Pack", "Choose a game.", "Press Next.", "Version 1.0", "Games Pack",
         "Choose a game.\r\nPress Next.\r\nVersion 1.0"},
        {"", "Choose a game.", "", "", "Setup", "Choose a game."},
        {"Licence", "", "Read it all.", "", "Licence", "Read it all."},
        {"Licence", "", "", "1.0", "Licence", "1.0"},
        {"", "", "", "", "Setup", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pageName(c.caption, "Setup"), c.name) << c.caption;
        EXPECT_EQ(pageDescription(c.top, c.bottom, c.side), c.description) << c.top;
    }
}

TEST(PageAccess, PercentOfAProgressBar) {
    struct Case {
        int low, high, position;
        const char* text;
    };
    const Case cases[] = {
        {0, 100, 45, "45%"},
        {0, 200, 199, "99%"},
        {0, 200, 200, "100%"},
        {10, 20, 15, "50%"},
        {0, 100, -5, "0%"},
        {0, 100, 150, "100%"},
        {0, 0, 0, ""},
        {5, 1, 3, ""},
        {0, 2000000000, 1999999999, "99%"},
        {-2000000000, 2000000000, 0, "50%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(percentText(c.low, c.high, c.position), c.text)
            << c.low << ".." << c.high << " at " << c.position;
}

TEST(PageAccess, TabOrderFollowsTheReadingOrder) {
    // The navigation buttons as a page makes them: Next, Finish (in Next's place), Cancel,
    // Back, in the usual skin's layout; the page's controls come after them.
    WizardLayout layout = computeWizardLayout({420, 80, 28, 80, 28, 80, 28},
                                              BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    const std::vector<WizRect> buttons = {layout.next, layout.next, layout.cancel, layout.back};
    struct Case {
        const char* page;
        std::vector<WizRect> controls;
        std::vector<int> order;
    };
    const Case cases[] = {
        // The accept page: the text above its check box, then Back, Next, Finish, Cancel.
        {"accept", {{190, 81, 580, 320}, {190, 320, 580, 352}}, {4, 5, 3, 0, 1, 2}},
        // Choice rows, given bottom first, are read from the top.
        {"rows", {{190, 200, 580, 216}, {190, 176, 580, 192}}, {5, 4, 3, 0, 1, 2}},
        // A menu's rows before their first paint share one place: kept as made.
        {"unplaced", {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}}, {4, 5, 6, 3, 0, 1, 2}},
        // A list alone.
        {"list", {{190, 81, 580, 342}}, {4, 3, 0, 1, 2}},
        // A control of its row's height but lower than the row's top still shares the row.
        {"row", {{300, 100, 400, 130}, {190, 110, 290, 140}}, {5, 4, 3, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<WizRect> all = buttons;
        all.insert(all.end(), c.controls.begin(), c.controls.end());
        EXPECT_EQ(readingOrder(all), c.order) << c.page;
    }
    // A button without a place (its bit was not set) comes last.
    layout = computeWizardLayout({420, 80, 28, 80, 28, 80, 28}, BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_EQ(readingOrder({layout.next, layout.next, layout.cancel, layout.back}),
              (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(readingOrder({layout.back, layout.cancel, layout.next}), (std::vector<int>{2, 1, 0}));
}

}  // namespace
