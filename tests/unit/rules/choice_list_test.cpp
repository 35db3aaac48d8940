// The two sources of a check or radio page's labels and marks, side by side: what counts, what
// reads as marked, what is ignored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "menu/menu_file.h"
#include "rules/choice_list.h"

namespace {

// A menu of n options "o0", "o1", ... with the given marks.
struct SampleMenu {
    SampleMenu(int n, std::vector<std::int32_t> m) : marks(std::move(m)) {
        for (int i = 0; i < n; ++i) labels.push_back("o" + std::to_string(i));
        options.resize(n);
        for (int i = 0; i < n; ++i) options[i].label = labels[i].c_str();
        marks.resize(n);
        menu.optionCount = n;
        menu.options = options.data();
        menu.optionSelected = marks.data();
    }
    std::vector<std::string> labels;
    std::vector<MenuOption> options;
    std::vector<std::int32_t> marks;
    Menu menu;
};

TEST(ChoiceList, MenuAndFixedSources) {
    struct Case {
        const char* name;
        bool overMenu;
        int size;                         // options of the menu, or strings added
        std::vector<std::int32_t> marks;  // the menu's, or set one by one
        int limit;
        int count;
        std::vector<bool> marked;
        bool any;
    } cases[] = {
        {"menu under the limit", true, 3, {0, 1, 0}, 20, 3, {false, true, false}, true},
        {"menu: only 1 marks", true, 3, {2, -1, 0}, 20, 3, {false, false, false}, false},
        {"menu cut at the limit", true, 5, {0, 0, 0, 1, 0}, 3, 3, {false, false, false}, false},
        {"strings: any value marks", false, 3, {2, 0, -1}, 20, 3, {true, false, true}, true},
        {"strings past the limit dropped", false, 5, {0, 0, 0, 0, 0}, 2, 2, {false, false}, false},
        {"no strings", false, 0, {}, 12, 0, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleMenu sample(c.overMenu ? c.size : 0,
                          c.overMenu ? c.marks : std::vector<std::int32_t>{});
        ChoiceList list = c.overMenu ? ChoiceList(sample.menu, c.limit) : ChoiceList(c.limit);
        if (!c.overMenu) {
            for (int i = 0; i < c.size; ++i) list.add("s" + std::to_string(i));
            for (int i = 0; i < c.size; ++i) list.setMark(i, c.marks[i]);
        }
        EXPECT_EQ(list.overMenu(), c.overMenu);
        ASSERT_EQ(list.count(), c.count);
        std::vector<bool> marked;
        for (int i = 0; i < list.count(); ++i) {
            marked.push_back(list.marked(i));
            EXPECT_EQ(list.label(i, nullptr), (c.overMenu ? "o" : "s") + std::to_string(i));
        }
        EXPECT_EQ(marked, c.marked);
        EXPECT_EQ(list.anyMarked(), c.any);
        // Outside the list: nothing is read, set or labelled.
        EXPECT_EQ(list.mark(-1), 0);
        EXPECT_EQ(list.mark(c.count), 0);
        EXPECT_EQ(list.label(c.count, nullptr), "");
        list.setMark(c.count, 1);
        if (c.overMenu && c.count < c.size) {
            EXPECT_EQ(sample.marks[c.count], c.marks[c.count]);
        }
        // A radio choice moves over all of a menu's marks, or the fixed list's own.
        EXPECT_EQ(list.allMarksCount(), c.overMenu ? c.size : c.count);
    }
}

TEST(ChoiceList, MenuMarksAreTheMenus) {
    SampleMenu sample(3, {0, 0, 0});
    ChoiceList list(sample.menu, 20);
    list.add("ignored");  // a menu's entries are its options
    EXPECT_EQ(list.count(), 3);
    list.setMark(2, 1);
    EXPECT_EQ(sample.marks, (std::vector<std::int32_t>{0, 0, 1}));
    EXPECT_EQ(list.allMarks(), sample.marks.data());
    sample.menu.options[1].label = nullptr;
    EXPECT_EQ(list.label(1, nullptr), "");
}

}  // namespace
