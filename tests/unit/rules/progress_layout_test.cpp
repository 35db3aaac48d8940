// The progress window's layout: the template's dialog units at 96 DPI as the dialog manager
// places them, and their enlargement at the other scales.
#include <gtest/gtest.h>

#include <ostream>

#include "rules/progress_layout.h"

namespace {

void PrintTo(const WizRect& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

}  // namespace

// Found by GoogleTest beside the type.
void PrintTo(const ProgressLayout& l, std::ostream* out) {
    *out << l.clientWidth << "x" << l.clientHeight << " text ";
    PrintTo(l.text, out);
    *out << " bar ";
    PrintTo(l.bar, out);
    *out << " cancel ";
    PrintTo(l.cancel, out);
    *out << " font " << l.fontHeight;
}

namespace {

TEST(ProgressLayout, TemplateAt96DpiScaledByOneRule) {
    struct Case {
        DialogBaseUnits base;
        int dpi;
        ProgressLayout expected;
    } cases[] = {
        // 6 x 13: a control's place and size are rounded each on its own (the bar's right
        // edge is 5 + 269, not 182 units at once).
        {{6, 13}, 96, {279, 125, {6, 5, 272, 42}, {5, 52, 274, 81}, {98, 91, 173, 114}, 11}},
        {{6, 13}, 120, {349, 156, {8, 6, 340, 53}, {6, 65, 343, 101}, {123, 114, 216, 143}, 14}},
        {{6, 13}, 144, {419, 188, {9, 8, 408, 63}, {8, 78, 411, 122}, {147, 137, 260, 171}, 17}},
        {{6, 13},
         192,
         {558, 250, {12, 10, 544, 84}, {10, 104, 548, 162}, {196, 182, 346, 228}, 22}},
        // Another font's units: 5 x 13.
        {{5, 13}, 96, {233, 125, {5, 5, 226, 42}, {4, 52, 228, 81}, {81, 91, 144, 114}, 11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base.x << "x" << c.base.y << " at " << c.dpi);
        const ProgressLayout l = progressLayout(c.base, c.dpi);
        EXPECT_EQ(l, c.expected);
        // Every part stays inside the client area.
        for (const WizRect& r : {l.text, l.bar, l.cancel}) {
            EXPECT_GE(r.left, 0);
            EXPECT_LE(r.right, l.clientWidth);
            EXPECT_LE(r.bottom, l.clientHeight);
        }
    }
}

}  // namespace
