// The decoder's in-memory head: copies of what it kept, and refusals.
#include <gtest/gtest.h>

#include <vector>

#include "archive/head_cache.h"

namespace {

struct CopyCase {
    std::int64_t offset;
    std::size_t length;
    bool cached;
};

TEST(HeadCache, CopiesWhatWasCachedAndRefusesTheRest) {
    // A limit of 10: bytes 0..9 of the output are kept.
    HeadCache cache(10);
    std::vector<unsigned char> out(16);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = static_cast<unsigned char>(100 + i);
    cache.append(0, out.data(), 5);
    cache.append(7, out.data() + 7, 3);   // not where the cache ends: ignored
    cache.append(5, out.data() + 5, 11);  // kept up to the limit
    EXPECT_EQ(cache.size(), 10u);
    const CopyCase cases[] = {
        {0, 4, true},   {1, 2, true},   {2, 5, true},   {3, 7, true},
        {0, 10, true},  {9, 1, true},   {10, 0, true},  {6, 5, false},
        {10, 1, false}, {-1, 2, false}, {-1, 0, false}, {0, 11, false},
    };
    for (const CopyCase& c : cases) {
        std::vector<unsigned char> dst(c.length + 1, 0xEE);
        ASSERT_EQ(cache.copy(c.offset, c.length, dst.data()), c.cached)
            << c.offset << "+" << c.length;
        if (!c.cached) continue;
        for (std::size_t i = 0; i < c.length; ++i)
            EXPECT_EQ(dst[i], out[static_cast<std::size_t>(c.offset) + i]) << c.offset << "+" << i;
        EXPECT_EQ(dst[c.length], 0xEE) << "written past the copy";
    }
}

TEST(HeadCache, EmptyCacheServesOnlyEmptyCopies) {
    HeadCache cache(1 << 20);
    unsigned char dst = 0;
    EXPECT_TRUE(cache.copy(0, 0, &dst));
    EXPECT_FALSE(cache.copy(0, 1, &dst));
}

}  // namespace
