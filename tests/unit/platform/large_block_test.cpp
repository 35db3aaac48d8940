// Large blocks: every byte of the size is there, zero-filled and writable, whatever the size
// against the large page; a moved block hands its memory over once.
#include "platform/large_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace {

constexpr std::size_t MIB = std::size_t{1} << 20;

TEST(LargeBlock, HoldsItsSizeZeroFilledAndWritable) {
    for (std::size_t size : {std::size_t{1}, std::size_t{4095}, std::size_t{4097}, 2 * MIB - 1,
                             2 * MIB, 2 * MIB + 32, 4 * MIB + 32, 8 * MIB + 1}) {
        SCOPED_TRACE(size);
        platform::LargeBlock block(size);
        ASSERT_TRUE(block);
        EXPECT_EQ(block.size(), size);
        unsigned char* p = block.get();
        bool zero = true;
        for (std::size_t i = 0; i < size; i += 4093) zero = zero && p[i] == 0;
        EXPECT_TRUE(zero && p[size - 1] == 0);
        p[0] = 1;
        p[size - 1] = 2;
        EXPECT_EQ(p[0], size == 1 ? 2 : 1);
        EXPECT_EQ(p[size - 1], 2);
    }
    EXPECT_FALSE(platform::LargeBlock(0));
}

TEST(LargeBlock, MovesItsMemoryOnce) {
    platform::LargeBlock a(3 * MIB);
    unsigned char* p = a.get();
    p[3 * MIB - 1] = 7;
    platform::LargeBlock b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), p);
    platform::LargeBlock c(MIB);
    c = std::move(b);
    EXPECT_FALSE(b);
    EXPECT_EQ(c.get()[3 * MIB - 1], 7);
    c = platform::LargeBlock();
    EXPECT_FALSE(c);
}

}  // namespace
