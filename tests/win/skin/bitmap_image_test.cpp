#include <gtest/gtest.h>

#include <cstdlib>

#include "config/setup_config.h"
#include "skin_test_util.h"

namespace {

using testing_support::ScratchDir;

TEST(BitmapImage, LoadsAFileIntoItsOwnContext) {
    ScratchDir dir;
    BitmapImage image;
    ASSERT_TRUE(loadPicture(image, dir, "g.bmp", 9, 4, [](int x, int y) {
        return static_cast<std::uint32_t>(x * 20) << 16 | static_cast<std::uint32_t>(y * 50);
    }));
    EXPECT_EQ(image.width(), 9);
    EXPECT_EQ(image.height(), 4);
    EXPECT_FALSE(image.fromResources());
    ASSERT_NE(image.dc(), nullptr);
    EXPECT_EQ(rgbOf(GetPixel(image.dc(), 0, 0)), 0x000000u);
    EXPECT_EQ(rgbOf(GetPixel(image.dc(), 8, 3)), 0xA00096u);
    // A holder that has its picture keeps it.
    auto other = dir.write("other.bmp", testing_support::solidBmp(2, 2, 0));
    EXPECT_TRUE(image.loadFromFile(other.string()));
    EXPECT_EQ(image.width(), 9);
}

TEST(BitmapImage, FailuresLeaveItEmpty) {
    ScratchDir dir;
    struct Case {
        const char* name;
        std::string content;  // "<none>": no file
    } cases[] = {{"missing", "<none>"}, {"garbage", "not a bitmap"}, {"empty", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = (dir.path() / (std::string(c.name) + ".bmp")).string();
        if (c.content != "<none>") dir.write(std::string(c.name) + ".bmp", c.content);
        BitmapImage image;
        EXPECT_FALSE(image.loadFromFile(path));
        EXPECT_EQ(image.dc(), nullptr);
        EXPECT_EQ(image.width(), 0);
    }
}

// The built-in side picture lives in Setup.exe's resources.
TEST(BitmapImage, LoadsTheBuiltInSidePicture) {
    const char* bin = std::getenv("SETUP_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    std::string setup = std::string(bin) + "/Setup.exe";
    platform::win32::Module module(
        LoadLibraryExA(setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module) << setup;
    for (const char* name : {"BAR.BMP", "bar.bmp"}) {
        BitmapImage image;
        ASSERT_TRUE(image.loadFromResource(name, module.get())) << name;
        EXPECT_TRUE(image.fromResources());
        EXPECT_GE(image.width(), 160);
        EXPECT_GE(image.height(), 320);
    }
    BitmapImage missing;
    EXPECT_FALSE(missing.loadFromResource("nothing.bmp", module.get()));
    EXPECT_EQ(missing.dc(), nullptr);
}

TEST(GdiSkinLoader, LoadsTheExampleDisc) {
    const char* source = std::getenv("SETUP_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    GdiSkinLoader loader;
    SetupConfig config(nullptr, &loader);
    ASSERT_TRUE(config.load(std::string(source) + "\\tests\\data\\disc\\"));
    for (int i = 0; i < SKIN_COUNT; ++i) {
        BitmapImage* image = bitmapImage(config.getBitmap(i));
        ASSERT_NE(image, nullptr) << i;
        EXPECT_NE(image->dc(), nullptr);
        EXPECT_EQ(image->width(), 8 + i);
        EXPECT_EQ(image->height(), 4 + i);
    }
    EXPECT_EQ(config.languageCount(), 2);
}

}  // namespace
