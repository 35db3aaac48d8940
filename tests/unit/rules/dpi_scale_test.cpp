#include <gtest/gtest.h>

#include "rules/dpi_scale.h"

namespace {

TEST(DpiScale, LengthsRoundToTheNearestPixelHalvesUpward) {
    struct Case {
        int value, dpi, expected;
    } const cases[] = {
        {600, 96, 600},   {420, 96, 420}, {600, 120, 750}, {420, 144, 630},
        {600, 192, 1200}, {1, 120, 1},    {1, 144, 2},    // 1.25 down, 1.5 up
        {2, 120, 3},      {51, 120, 64},                  // 2.5 and 63.75 up
        {3, 120, 4},      {10, 144, 15},  {7, 168, 12},   // 3.75, 15, 12.25
        {0, 192, 0},      {-1, 144, -1},  {-3, 120, -4},  // a half rounds upward below zero too
        {1, 72, 1},       {5, 72, 4},                     // below 96 DPI: 0.75 and 3.75 both up
    };
    for (const Case& c : cases)
        EXPECT_EQ(scaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
}

// A rectangle is scaled edge by edge: two that share an edge at 96 DPI share it at every
// scale, and a rectangle's scaled width is not rounded on its own.
TEST(DpiScale, TouchingRectanglesStayTouching) {
    const WizardLayout base = computeWizardLayout({420, 80, 28, 80, 28, 80, 27},
                                                  BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    for (int dpi : {96, 120, 144, 168, 192, 240}) {
        const WizRect left = scaleToDpi(WizRect{15, 30, 101, 57}, dpi);
        const WizRect right = scaleToDpi(WizRect{101, 57, 175, 83}, dpi);
        EXPECT_EQ(left.right, right.left) << dpi;
        EXPECT_EQ(left.bottom, right.top) << dpi;
        const WizardLayout l = scaleToDpi(base, dpi);
        EXPECT_EQ(l.topText.bottom, l.content.bottom) << dpi;
        EXPECT_EQ(l.next.top, l.back.top) << dpi;
        // A length is the difference of two rounded edges: within a pixel of the exact one.
        EXPECT_NEAR(l.cancel.height(), base.cancel.height() * dpi / 96.0, 1.0) << dpi;
    }
    // An empty rectangle (a button that is not shown) stays empty.
    EXPECT_TRUE(scaleToDpi(WizRect{}, 192).empty());
}

TEST(DpiScale, SharpPictureOnlyFromOneAndAHalfTimesAndAtTwiceTheSize) {
    struct Case {
        int dpi, normalW, normalH, sharpW, sharpH;
        bool expected;
    } const cases[] = {
        {144, 80, 28, 160, 56, true},  {192, 420, 400, 840, 800, true},
        {143, 80, 28, 160, 56, false}, {120, 80, 28, 160, 56, false},
        {96, 80, 28, 160, 56, false},  {192, 80, 28, 160, 57, false},  // not exactly twice
        {192, 80, 28, 240, 84, false}, {192, 80, 28, 80, 28, false},
        {192, 0, 0, 0, 0, false},  // an empty slot
    };
    for (const Case& c : cases)
        EXPECT_EQ(useSharpPicture(c.dpi, c.normalW, c.normalH, c.sharpW, c.sharpH), c.expected)
            << c.dpi << ": " << c.normalW << "x" << c.normalH << " and " << c.sharpW << "x"
            << c.sharpH;
}

}  // namespace
