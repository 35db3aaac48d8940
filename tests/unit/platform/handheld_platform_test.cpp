// Menu data names a platform by its code (an install option's kind, a menu's platformCode);
// everything else goes by its index. The two must lead to the same platform.
#include <gtest/gtest.h>

#include <string>

#include "platform/handheld_platform.h"

namespace {

TEST(HandheldPlatform, CodesOfMenuDataLeadToTheirPlatform) {
    const struct {
        std::int32_t code;
        const char* name;  // null: no platform
        int index;
    } cases[] = {{2, "EPOC", 0},   {3, "N9210", 1},  {4, "POCKETPC", 2},
                 {5, "PALM", 3},   {0, nullptr, -1}, {1, nullptr, -1},
                 {6, nullptr, -1}, {7, nullptr, -1}, {-2, nullptr, -1}};
    for (const auto& c : cases) {
        const HandheldPlatform* p = platformOfCode(c.code);
        if (!c.name) {
            EXPECT_EQ(p, nullptr) << c.code;
            continue;
        }
        ASSERT_NE(p, nullptr) << c.code;
        EXPECT_EQ(std::string(p->name), c.name);
        EXPECT_EQ(p->index, c.index) << c.name;
        EXPECT_EQ(platformAt(c.index), p) << c.name;
    }
}

}  // namespace
