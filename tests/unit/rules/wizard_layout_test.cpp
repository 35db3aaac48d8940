#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rules/wizard_layout.h"

namespace {

struct LayoutCase {
    WizardSkinSizes skin;
    int flags;
    WizardLayout expected;
};

TEST(WizardLayout, RectanglesForSkinSizesAndButtons) {
    const WizRect none{};
    const LayoutCase cases[] = {
        // The usual skin: a 420-pixel panel and four 80 x 28 buttons, all shown.
        {{420, 80, 28, 80, 28, 80, 28},
         BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL,
         {{190, 30, 590, 352},
          {190, 81, 580, 352},
          {15, 30, 175, 350},
          {15, 360, 175, 400},
          {285, 362, 365, 390},
          {395, 362, 475, 390},
          {505, 362, 585, 390}}},
        // Buttons of different sizes; no Back: its rectangle stays empty. The tops follow
        // Back's height even when Back is absent.
        {{400, 70, 24, 90, 30, 75, 26},
         BUTTON_NEXT | BUTTON_CANCEL,
         {{210, 30, 590, 354},
          {210, 81, 580, 354},
          {15, 30, 175, 350},
          {15, 360, 175, 400},
          none,
          {405, 366, 495, 396},
          {512, 366, 587, 392}}},
        // Finish takes the Next place; a button wider than its slot halves toward zero.
        {{430, 120, 30, 161, 33, 100, 20},
         BUTTON_BACK | BUTTON_FINISH,
         {{180, 30, 590, 360},
          {180, 81, 580, 360},
          {15, 30, 175, 350},
          {15, 360, 175, 400},
          {165, 360, 285, 390},
          {295, 360, 456, 393},
          none}},
        {{420, 80, 28, 80, 28, 80, 28},
         0,
         {{190, 30, 590, 352},
          {190, 81, 580, 352},
          {15, 30, 175, 350},
          {15, 360, 175, 400},
          none,
          none,
          none}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        WizardLayout l = computeWizardLayout(c.skin, c.flags);
        EXPECT_EQ(l.topText, c.expected.topText);
        EXPECT_EQ(l.content, c.expected.content);
        EXPECT_EQ(l.picture, c.expected.picture);
        EXPECT_EQ(l.sideText, c.expected.sideText);
        EXPECT_EQ(l.back, c.expected.back);
        EXPECT_EQ(l.next, c.expected.next);
        EXPECT_EQ(l.cancel, c.expected.cancel);
    }
}

TEST(WizardLayout, FittedTopTextSize) {
    struct Case {
        int top, limit, height, tenths;
    } cases[] = {
        {30, 81, 51, 100},   // fits exactly: 10 points
        {30, 81, 20, 100},   //
        {30, 81, 0, 100},    // nothing measured
        {30, 81, 52, 98},    // 9.807 truncated
        {30, 81, 60, 85},    // 8.5 exactly
        {30, 81, 102, 50},   //
        {30, 81, 700, 7},    // 0.728
        {30, 200, 200, 85},  // a lowered limit
        {30, 30, 40, 1},     // a limit at the top still gives a font
        {30, 10, 40, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        EXPECT_EQ(fittedTopTextTenths(c.top, c.limit, c.height), c.tenths);
    }
    EXPECT_EQ(pointFontHeight(100, 96), -13);
    EXPECT_EQ(pointFontHeight(85, 96), -11);
    EXPECT_EQ(pointFontHeight(100, 120), -16);
}

TEST(WizardLayout, RowsCentredByLinePlusTwoPlacedByLinePlusEight) {
    struct Case {
        WizRect content;
        int count, lineHeight, blockTop;
        int index;
        WizRect row;
    } cases[] = {
        {{190, 81, 580, 352}, 3, 16, 189, 2, {190, 237, 580, 253}},
        {{190, 81, 580, 352}, 1, 16, 207, 0, {190, 207, 580, 223}},
        // A block taller than the panel starts above it; the halving goes toward zero.
        {{190, 81, 580, 352}, 19, 16, 46, 18, {190, 478, 580, 494}},
        {{100, 81, 300, 181}, 1, 20, 120, 0, {100, 120, 300, 140}},
        {{100, 81, 300, 182}, 2, 19, 110, 1, {100, 137, 300, 156}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        int top = choiceBlockTop(c.content, c.count, c.lineHeight);
        EXPECT_EQ(top, c.blockTop);
        EXPECT_EQ(choiceRowRect(c.content, top, c.index, c.lineHeight), c.row);
    }
}

TEST(WizardLayout, GoOnButtonOfCheckPages) {
    const int N = BUTTON_NEXT, F = BUTTON_FINISH, C = BUTTON_CANCEL, B = BUTTON_BACK;
    struct Case {
        int flags;
        bool marked, allowEmpty;
        int afterInit, afterClick, visible;
    } cases[] = {
        {N | C, false, false, C, C, 0},
        {N | C, true, false, N | C, N | C, N},
        {N | C, false, true, C, N | C, N},  // allowEmpty counts on clicks only
        {B | F | C, false, false, B | C, B | C, 0},
        {B | F | C, true, false, B | F | C, B | F | C, F},
        // Next is the go-on button; Finish stays where it is.
        {N | F | C, false, false, F | C, F | C, F},
        {C, false, false, C, C, 0},  // no go-on button: nothing changes
        {C, false, true, C, C, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(initialCheckFlags(c.flags, c.flags, c.marked), c.afterInit);
        int clicked = checkClickFlags(c.afterInit, c.flags, c.marked, c.allowEmpty);
        EXPECT_EQ(clicked, c.afterClick);
        EXPECT_EQ(visibleGoOnButton(clicked), c.visible);
    }
}

TEST(WizardLayout, RadioMarks) {
    std::vector<std::int32_t> none(5, 0), third{0, 0, 0, 1, 1}, first{1, 1};
    EXPECT_EQ(initialRadioChoice(none.data(), 5), 0);
    EXPECT_EQ(initialRadioChoice(third.data(), 5), 3);
    EXPECT_EQ(initialRadioChoice(first.data(), 2), 0);

    std::vector<std::int32_t> marks{0, 0, 1, 0, 0, 0};
    int selected = 2;
    moveRadioChoice(marks.data(), 6, selected, 5);
    EXPECT_EQ(selected, 5);
    EXPECT_EQ(marks, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 1}));
    moveRadioChoice(marks.data(), 6, selected, -1);  // a change with no row
    EXPECT_EQ(selected, -1);
    EXPECT_EQ(marks, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0}));
    moveRadioChoice(marks.data(), 6, selected, 1);
    EXPECT_EQ(marks, (std::vector<std::int32_t>{0, 1, 0, 0, 0, 0}));
}

TEST(WizardLayout, CheckListSelectionChanges) {
    const unsigned S = ITEM_SELECTED, FOCUSED = 0x0001;
    using Marks = std::vector<std::int32_t>;
    struct Case {
        Marks before;
        bool range;
        int from, to;
        unsigned oldState, newState;
        Marks after;
    } cases[] = {
        {{0, 0, 0}, false, 1, 1, 0, S, {0, 1, 0}},
        {{1, 1, 1}, false, 1, 1, S, 0, {1, 0, 1}},
        {{1, 1, 1}, false, -1, -1, S, 0, {0, 0, 0}},                // every row deselected
        {{0, 1, 0}, false, 1, 1, S | FOCUSED, FOCUSED, {0, 0, 0}},  // keeps only the focus
        {{0, 0, 0}, false, -1, -1, 0, S, {0, 0, 0}},  // only rows are marked one by one
        {{0, 0, 0}, false, 1, 1, FOCUSED, 0, {0, 0, 0}},
        {{0, 0, 0, 0, 0}, true, 1, 3, 0, S, {0, 1, 1, 1, 0}},
        {{1, 1, 1, 1, 1}, true, 0, 1, S, 0, {0, 0, 1, 1, 1}},
        {{0, 0, 0}, true, 1, 10, 0, S, {0, 1, 1}},  // a range past the end stops at it
        {{1, 1, 1}, true, 0, 2, FOCUSED, 0, {1, 1, 1}},
        {{1, 1, 1}, true, 0, 1, S, FOCUSED, {0, 0, 1}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.from);
        Marks m = c.before;
        int n = static_cast<int>(m.size());
        if (c.range)
            applyCheckRangeChange(m.data(), n, c.from, c.to, c.oldState, c.newState);
        else
            applyCheckItemChange(m.data(), n, c.from, c.oldState, c.newState);
        EXPECT_EQ(m, c.after);
        EXPECT_EQ(anyMarked(m.data(), n), m != Marks(m.size(), 0));
    }
}

}  // namespace
