#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
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

// The controls that keep their place, and the moves of the others as the page makes them
// (each right after the one it follows in the order, the first to the top), bring the z-order
// into the order, with no more moves than the order needs: those of the controls outside a
// longest run already in order.
TEST(PageAccess, TheZOrderReachesTheTabOrderWithTheFewestMoves) {
    auto apply = [](const std::vector<int>& order, const std::vector<bool>& kept) {
        std::vector<int> z(order.size());
        std::iota(z.begin(), z.end(), 0);
        for (std::size_t k = 0; k < order.size(); ++k) {
            if (kept[k]) continue;
            z.erase(std::find(z.begin(), z.end(), order[k]));
            auto after = k == 0 ? z.begin() : std::find(z.begin(), z.end(), order[k - 1]) + 1;
            z.insert(after, order[k]);
        }
        return z;
    };
    // The longest increasing run, the slow way.
    auto longestRun = [](const std::vector<int>& order) {
        std::vector<int> best(order.size(), 1);
        for (std::size_t i = 0; i < order.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (order[j] < order[i]) best[i] = std::max(best[i], best[j] + 1);
        return order.empty() ? 0 : *std::max_element(best.begin(), best.end());
    };
    struct Case {
        const char* page;
        std::vector<int> order;
        int moves;
    };
    // Next, Finish, Cancel and Back are made first (z-order 0 to 3), the page's controls after.
    const Case cases[] = {
        {"no controls", {}, 0},
        {"in order", {0, 1, 2}, 0},
        {"plain page", {3, 0, 1, 2}, 1},
        {"list", {4, 3, 0, 1, 2}, 2},
        {"six boxes", {4, 5, 6, 7, 8, 9, 3, 0, 1, 2}, 4},
        {"reversed", {4, 3, 2, 1, 0}, 4},
    };
    for (const Case& c : cases) {
        const std::vector<bool> kept = keptInOrder(c.order);
        ASSERT_EQ(kept.size(), c.order.size()) << c.page;
        EXPECT_EQ(apply(c.order, kept), c.order) << c.page;
        EXPECT_EQ(std::count(kept.begin(), kept.end(), false), c.moves) << c.page;
    }
    // Every order of six controls.
    std::vector<int> order(6);
    std::iota(order.begin(), order.end(), 0);
    do {
        const std::vector<bool> kept = keptInOrder(order);
        ASSERT_EQ(apply(order, kept), order);
        ASSERT_EQ(std::count(kept.begin(), kept.end(), true), longestRun(order));
    } while (std::next_permutation(order.begin(), order.end()));
}

}  // namespace
