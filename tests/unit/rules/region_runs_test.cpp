#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rules/region_runs.h"

namespace {

// A 32-bit picture held top row first or bottom row first, with padding after each row.
struct Picture {
    Picture(int w, int h, bool bottomUp, std::size_t padding = 0)
        : width(w),
          height(h),
          stride(4 * static_cast<std::size_t>(w) + padding),
          bottomUp(bottomUp),
          bytes(stride * h, 0xEE) {}
    void set(int x, int y, std::uint32_t rgb) {
        std::size_t row = static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        std::uint8_t* p = &bytes[row * stride + 4 * static_cast<std::size_t>(x)];
        p[0] = rgb & 0xFF;
        p[1] = (rgb >> 8) & 0xFF;
        p[2] = (rgb >> 16) & 0xFF;
        p[3] = 0x55;  // the unused byte never counts
    }
    void fill(std::uint32_t rgb) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) set(x, y, rgb);
    }
    PixelView view() const { return {bytes.data(), width, height, stride, bottomUp}; }
    int width, height;
    std::size_t stride;
    bool bottomUp;
    std::vector<std::uint8_t> bytes;
};

constexpr std::uint32_t KEY = 0xFF00FF;

TEST(RegionRuns, RowsOfOnePicture) {
    // key, other, other, key, other in each layout: [1,3) and [4,5).
    for (bool bottomUp : {false, true}) {
        Picture pic(5, 2, bottomUp, 4);
        pic.fill(0x000000);
        for (int y = 0; y < 2; ++y) {
            pic.set(0, y, KEY);
            pic.set(3, y, KEY);
        }
        pic.set(4, 1, KEY);
        std::vector<RegionRect> expected{{1, 0, 3, 1}, {4, 0, 5, 1}, {1, 1, 3, 2}};
        EXPECT_EQ(regionRuns(pic.view(), KEY, true), expected) << bottomUp;
        std::vector<RegionRect> keyOnly{{0, 0, 1, 1}, {3, 0, 4, 1}, {0, 1, 1, 2}, {3, 1, 5, 2}};
        EXPECT_EQ(regionRuns(pic.view(), KEY, false), keyOnly) << bottomUp;
    }
}

TEST(RegionRuns, AllKeyOrNoKey) {
    Picture pic(6, 3, true);
    pic.fill(KEY);
    EXPECT_TRUE(regionRuns(pic.view(), KEY, true).empty());
    std::vector<RegionRect> whole{{0, 0, 6, 1}, {0, 1, 6, 2}, {0, 2, 6, 3}};
    EXPECT_EQ(regionRuns(pic.view(), KEY, false), whole);
}

TEST(RegionRuns, OnlyTheExactKeyIsTransparent) {
    const std::uint32_t near[] = {0xFE00FF, 0xFF01FF, 0xFF00FE, 0x00FF00};
    for (std::uint32_t c : near) {
        Picture pic(3, 1, true);
        pic.fill(KEY);
        pic.set(1, 0, c);
        std::vector<RegionRect> middle{{1, 0, 2, 1}};
        EXPECT_EQ(regionRuns(pic.view(), KEY, true), middle) << std::hex << c;
    }
}

TEST(RegionRuns, BatchesOfTwoThousand) {
    // A checkerboard of 100 x 90: one run per inside pixel, 4,500 runs.
    Picture pic(100, 90, true);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 100; ++x) pic.set(x, y, (x + y) % 2 ? KEY : 0x123456);
    std::vector<std::size_t> sizes;
    std::vector<RegionRect> joined;
    std::vector<RegionRect> bounds;
    findRegionRuns(pic.view(), KEY, true, [&](const RectBatch& b) {
        sizes.push_back(b.size());
        bounds.push_back(b.bounds());
        joined.insert(joined.end(), b.rects().begin(), b.rects().end());
    });
    EXPECT_EQ(sizes, (std::vector<std::size_t>{2000, 2000, 500}));
    EXPECT_EQ(joined, regionRuns(pic.view(), KEY, true));
    // The first batch covers rows 0..39 (50 runs a row), the whole width.
    EXPECT_EQ(bounds[0], (RegionRect{0, 0, 100, 40}));
    EXPECT_EQ(bounds[2], (RegionRect{0, 80, 100, 90}));
}

TEST(RegionRuns, FinalBatchEvenWhenEmpty) {
    Picture pic(4, 4, true);
    pic.fill(KEY);
    int calls = 0;
    findRegionRuns(pic.view(), KEY, true, [&](const RectBatch& b) {
        ++calls;
        EXPECT_EQ(b.size(), 0u);
        EXPECT_EQ(b.bounds().left, INT32_MAX);
        EXPECT_EQ(b.bounds().right, 0);
    });
    EXPECT_EQ(calls, 1);
}

TEST(RectBatch, GrowsInStepsOfAHundred) {
    RectBatch batch;
    EXPECT_EQ(batch.room(), 100u);
    for (int i = 0; i < 101; ++i) batch.add({i, 0, i + 1, 1});
    EXPECT_EQ(batch.room(), 200u);
    EXPECT_EQ(batch.bounds(), (RegionRect{0, 0, 101, 1}));
    batch.clear();
    EXPECT_EQ(batch.size(), 0u);
    EXPECT_EQ(batch.bounds().top, INT32_MAX);
}

}  // namespace
