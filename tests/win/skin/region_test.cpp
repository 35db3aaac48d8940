#include <gtest/gtest.h>

#include <vector>

#include "fw/gdi.h"
#include "rules/region_runs.h"
#include "skin/region_from_bitmap.h"
#include "skin_test_util.h"

namespace {

using testing_support::ScratchDir;
constexpr std::uint32_t KEY = 0xFF00FF;

struct Pattern {
    const char* name;
    int w, h;
    std::function<std::uint32_t(int, int)> colour;
};

// Every pixel of the picture is in the region exactly when it is inside by the mode.
void expectMatches(HRGN region, const Pattern& p, int mode) {
    int wrong = 0;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            bool isKey = p.colour(x, y) == KEY;
            bool inside = mode ? !isKey : isKey;
            if (!!PtInRegion(region, x, y) != inside && ++wrong < 5)
                ADD_FAILURE() << p.name << " mode " << mode << " pixel " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= p.w && box.bottom <= p.h);
}

std::vector<Pattern> patterns() {
    return {
        {"disc with a key border", 40, 30,
         [](int x, int y) {
             int dx = x - 20, dy = y - 15;
             return dx * dx + dy * dy <= 140 ? 0x3366CCu : KEY;
         }},
        {"near misses of the key", 4, 2,
         [](int x, int y) {
             const std::uint32_t row[] = {KEY, 0xFE00FF, 0xFF01FF, 0xFF00FE};
             return y ? KEY : row[x];
         }},
        {"stripes", 9, 5, [](int x, int y) { return (x + 2 * y) % 3 ? KEY : 0x000000u; }},
        {"checkerboard of 4,800 runs", 120, 80,
         [](int x, int y) { return (x + y) % 2 ? KEY : 0xFFFFFFu; }},
    };
}

TEST(RegionFromBitmap, MatchesThePicturePixelForPixel) {
    ScratchDir dir;
    for (const Pattern& p : patterns()) {
        BitmapImage image;
        ASSERT_TRUE(loadPicture(image, dir, std::string(p.name) + ".bmp", p.w, p.h, p.colour));
        RECT target{0, 0, p.w, p.h};
        for (int mode : {1, 0}) {
            fw::Region region = regionFromBitmap(&image, target, KEY, mode);
            ASSERT_TRUE(region) << p.name;
            expectMatches(region.get(), p, mode);
        }
    }
}

// Cut at a larger size (a screen of another scale), the region is that of the picture drawn
// there, smoothed: a block keeps its scaled place, give or take the blended edge, and the
// region reaches no further than the target.
TEST(RegionFromBitmap, ALargerTargetCutsTheScaledPicture) {
    ScratchDir dir;
    BitmapImage image;
    ASSERT_TRUE(loadPicture(image, dir, "block.bmp", 10, 8, [](int x, int y) {
        return x >= 3 && x < 7 && y >= 2 && y < 6 ? 0x3366CCu : KEY;
    }));
    for (int scale : {2, 3}) {
        SCOPED_TRACE(scale);
        fw::Region region = regionFromBitmap(&image, RECT{0, 0, 10 * scale, 8 * scale}, KEY, 1);
        ASSERT_TRUE(region);
        RECT box;
        ASSERT_EQ(GetRgnBox(region.get(), &box), SIMPLEREGION);
        EXPECT_TRUE(box.left >= 3 * scale - scale && box.left <= 3 * scale) << box.left;
        EXPECT_TRUE(box.top >= 2 * scale - scale && box.top <= 2 * scale) << box.top;
        EXPECT_TRUE(box.right >= 7 * scale && box.right <= 7 * scale + scale) << box.right;
        EXPECT_TRUE(box.bottom >= 6 * scale && box.bottom <= 6 * scale + scale) << box.bottom;
        for (int y = 2 * scale; y < 6 * scale; ++y)
            for (int x = 3 * scale; x < 7 * scale; ++x)
                ASSERT_TRUE(PtInRegion(region.get(), x, y)) << x << "," << y;
    }
}

TEST(RegionFromBitmap, ManyBatchesEqualOneRegion) {
    ScratchDir dir;
    Pattern p = patterns().back();
    BitmapImage image;
    ASSERT_TRUE(loadPicture(image, dir, "board.bmp", p.w, p.h, p.colour));
    fw::Region batched = regionFromBitmap(&image, RECT{0, 0, p.w, p.h}, KEY, 1);
    ASSERT_TRUE(batched);

    // The same rectangles handed over in one block.
    std::vector<RegionRect> runs;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(p.w) * p.h);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) pixels[y * p.w + x] = p.colour(x, y);
    runs = regionRuns({reinterpret_cast<const std::uint8_t*>(pixels.data()), p.w, p.h,
                       static_cast<std::size_t>(p.w) * 4, false},
                      KEY, true);
    ASSERT_EQ(runs.size(), 4800u);
    std::vector<std::uint8_t> block(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(runs.size()), 0,
                 RECT{0, 0, p.w, p.h}};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (std::size_t i = 0; i < runs.size(); ++i)
        rects[i] = {runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
    fw::Region whole(ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data));
    ASSERT_TRUE(whole);
    EXPECT_TRUE(EqualRgn(batched.get(), whole.get()));
}

TEST(RegionFromBitmap, AllKeyGivesEmptyOrWhole) {
    ScratchDir dir;
    BitmapImage image;
    ASSERT_TRUE(loadPicture(image, dir, "key.bmp", 7, 5, [](int, int) { return KEY; }));
    RECT box;
    fw::Region none = regionFromBitmap(&image, RECT{0, 0, 7, 5}, KEY, 1);
    ASSERT_TRUE(none);
    EXPECT_EQ(GetRgnBox(none.get(), &box), NULLREGION);
    fw::Region all = regionFromBitmap(&image, RECT{0, 0, 7, 5}, KEY, 0);
    ASSERT_TRUE(all);
    EXPECT_EQ(GetRgnBox(all.get(), &box), SIMPLEREGION);
    EXPECT_EQ(box.right - box.left, 7);
    EXPECT_EQ(box.bottom - box.top, 5);
}

TEST(RegionFromBitmap, PlainBitmapHandleAndNone) {
    ScratchDir dir;
    auto path = dir.write("p.bmp", testing_support::bmpFile(
                                       6, 4, [](int x, int) { return x < 3 ? KEY : 0x00AA00u; }));
    fw::Bitmap bitmap(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.string().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    ASSERT_TRUE(bitmap);
    fw::Region region = regionFromBitmap(bitmap.get(), RECT{0, 0, 6, 4}, KEY, 1);
    ASSERT_TRUE(region);
    RECT box;
    EXPECT_EQ(GetRgnBox(region.get(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.right, 6);
    EXPECT_FALSE(regionFromBitmap(static_cast<HBITMAP>(nullptr), RECT{0, 0, 1, 1}, KEY, 1));
    EXPECT_FALSE(regionFromBitmap(static_cast<const BitmapImage*>(nullptr), RECT{}, KEY, 1));
    BitmapImage empty;
    EXPECT_FALSE(regionFromBitmap(&empty, RECT{0, 0, 1, 1}, KEY, 1));
}

}  // namespace
