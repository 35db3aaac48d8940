#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "config/setup_config.h"
#include "config/text_file.h"
#include "disc_fixture.h"

namespace {

const char* const TWO_LANGUAGES =
    "[Language]\nlang0=English\nlang1=Deutsch\ndefaultlanguage=1\n"
    "[lang0]\ntext0=Quit Setup?\ntext1=Setup\n"
    "[lang1]\ntext0=Setup beenden?\ntext1=Installation\ntext2=Zeile\\neins\n";

class SetupConfigTest : public ::testing::Test {
protected:
    void SetUp() override { disc.writeAllSkins(); }
    DiscFixture disc;
    SetupConfig config;
};

TEST_F(SetupConfigTest, LoadsLanguagesTextsAndBitmaps) {
    disc.writeIni(TWO_LANGUAGES);
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.languageNames, (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(config.currentLanguage, 1);
    EXPECT_EQ(config.getText(0), "Setup beenden?");
    EXPECT_EQ(config.getText(2), "Zeile\neins");
    for (int i = 0; i < SKIN_COUNT; ++i) {
        ASSERT_NE(config.getBitmap(i), nullptr) << i;
        EXPECT_EQ(config.getBitmap(i)->width(), 10 + i);
        EXPECT_EQ(config.getBitmap(i)->height(), 5 + i);
        EXPECT_FALSE(config.getBitmap(i)->fromResources());
    }
    config.selectLanguage(0);
    EXPECT_EQ(config.currentLanguage, 0);
    EXPECT_EQ(config.texts, (std::vector<std::string>{"Quit Setup?", "Setup"}));
}

TEST_F(SetupConfigTest, LanguageNeedsItsOwnNumberedText) {
    // lang1 has text0 but no text1; lang3 has text3 but no name; lang2 is unnamed and empty.
    disc.writeIni(
        "[Language]\nlang0=English\nlang1=Deutsch\nlang2=Svenska\n"
        "[lang0]\ntext0=a\n[lang1]\ntext0=b\n[lang3]\ntext3=d\n");
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.languageNames, (std::vector<std::string>{"English", ""}));
}

TEST_F(SetupConfigTest, DefaultLanguageOutsideTheListLeavesNoTexts) {
    disc.writeIni(
        "[Language]\nlang0=A\nlang1=B\ndefaultlanguage=5\n[lang0]\ntext0=a0\n"
        "[lang1]\ntext0=b0\ntext1=b1\n");
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.currentLanguage, 5);
    EXPECT_EQ(config.getText(0), "");
    config.selectLanguage(2);
    config.selectLanguage(-1);
    EXPECT_EQ(config.currentLanguage, 5);
    EXPECT_TRUE(config.texts.empty());
    config.selectLanguage(1);
    EXPECT_EQ(config.getText(1), "b1");
}

TEST_F(SetupConfigTest, TextDecoding) {
    struct Case {
        const char* value;
        const char* expected;
    } cases[] = {
        {"one\\ntwo", "one\ntwo"}, {"one\\Ntwo", "one\ntwo"}, {"ends\\", "ends\\"},
        {"a\\tb", "a\\tb"},        {"\\n\\n", "\n\n"},        {"c:\\\\n", "c:\\\n"},
    };
    std::string ini = "[Language]\nlang0=X\n[lang0]\n";
    for (int i = 0; i < 6; ++i) ini += "text" + std::to_string(i) + "=" + cases[i].value + "\n";
    disc.writeIni(ini);
    ASSERT_TRUE(config.load(disc.dataDir()));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(config.getText(i), cases[i].expected) << cases[i].value;
}

TEST_F(SetupConfigTest, TextListEndsAtFirstGap) {
    disc.writeIni("[Language]\nlang0=X\n[lang0]\ntext0=a\ntext1=b\ntext2=\ntext3=d\n");
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.texts.size(), 2u);
    EXPECT_EQ(config.getText(-1), "");
    EXPECT_EQ(config.getText(2), "");
    EXPECT_EQ(config.getText(3), "");
}

TEST_F(SetupConfigTest, FileTextsKeepTheirNumbers) {
    disc.dir.write("rsc/licence.txt", "line a\nline b");
    disc.dir.write("rsc/readme.txt", "r\r\n");
    disc.writeIni(
        "[Language]\nlang0=X\n[lang0]\ntext0=a\nfile0=licence.txt\nfile1=gone.txt\n"
        "file2=readme.txt\nfile4=never.txt\n");
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.fileTexts, (std::vector<std::string>{"line a\r\nline b\r\n", "", "r\r\n"}));
    EXPECT_EQ(config.getFileText(0), "line a\r\nline b\r\n");
    EXPECT_EQ(config.getFileText(3), "");
}

// What a disc names is read only from regular files and within bounds; anything else is an
// empty text, as a missing file is, and the texts after it keep their numbers.
TEST_F(SetupConfigTest, FileTextsFromHostileDiscs) {
    const std::string big(TEXT_FILE_LIMIT, 'x');
    disc.dir.write("rsc/big.txt", big);
    disc.dir.write("rsc/over.txt", big + "y");
    disc.dir.write("rsc/small.txt", "s");
    std::filesystem::create_directories(disc.dir.path() / "rsc" / "folder.txt");
    std::string ini = "[Language]\nlang0=X\n[lang0]\ntext0=a\nfile0=over.txt\nfile1=folder.txt\n";
    std::vector<std::string> expected = {"", ""};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((disc.dir.path() / "rsc" / "fifo.txt").c_str(), 0600), 0);
    ini += "file2=fifo.txt\nfile3=../../../../../../../../dev/zero\n";
    expected.insert(expected.end(), {"", ""});
#endif
    // One byte, then six texts of the limit: all texts together may take four limits, so
    // three of them fit beside the byte.
    ini += "file" + std::to_string(expected.size()) + "=small.txt\n";
    expected.push_back("s\r\n");
    const std::string line = big + "\r\n";
    for (int i = 0; i < 6; ++i) {
        ini += "file" + std::to_string(expected.size()) + "=big.txt\n";
        expected.push_back(i < 3 ? line : "");
    }
    disc.writeIni(ini);
    ASSERT_TRUE(config.load(disc.dataDir()));
    ASSERT_EQ(config.fileTexts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(config.fileTexts[i].size(), expected[i].size()) << "file" << i;
}

TEST_F(SetupConfigTest, MissingSettingsFileIsNoError) {
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.getLanguageCount(), 0);
    EXPECT_EQ(config.currentLanguage, 0);
    EXPECT_EQ(config.getSplashColour(), 0u);
}

TEST_F(SetupConfigTest, LoadingTwiceDoesNotRepeatLanguages) {
    disc.writeIni(TWO_LANGUAGES);
    ASSERT_TRUE(config.load(disc.dataDir()));
    ASSERT_TRUE(config.load(disc.dataDir()));
    EXPECT_EQ(config.languageCount(), 2);
}

TEST_F(SetupConfigTest, Colours) {
    struct Case {
        const char* values;
        ColourRef splash, caption;
    } cases[] = {
        {"splashR=300\nsplashG=0\nsplashB=0\n", 44, 0},
        {"splashR=1\nsplashG=2\nsplashB=3\ncaptionB=255\n", 0x030201, 0xFF0000},
        {"captionR=-1\ncaptionG=0x10\n", 0, 0x10FF},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        SetupConfig fresh;
        DiscFixture d;
        d.writeAllSkins();
        d.writeIni(std::string("[Colours]\n") + c.values);
        ASSERT_TRUE(fresh.load(d.dataDir()));
        EXPECT_EQ(fresh.getSplashColour(), c.splash);
        EXPECT_EQ(fresh.getCaptionColour(), c.caption);
    }
}

// Which skin files a disc lacks or has broken decides whether load succeeds; a failed
// load reads no language.
TEST(SetupConfigLoad, OutcomeBySkinFiles) {
    struct Case {
        const char* name;
        int removed;         // -1: none
        const char* broken;  // file written with garbage, or null
        bool loads;
    } cases[] = {
        {"no splash picture", SKIN_SPLASH, nullptr, true},
        {"no Cancel picture", SKIN_CANCEL, nullptr, false},
        {"no background", SKIN_BACKGROUND, nullptr, false},
        {"no focused Finish picture", SKIN_FINISH_FOCUS, nullptr, false},
        {"broken logo", -1, "rsc/clogo.bmp", false},
        {"broken splash picture", -1, "rsc/slogo.bmp", true},
        {"broken side picture in a product folder", SKIN_BAR, "PALM/bar.bmp", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiscFixture d;
        d.writeAllSkins();
        if (c.removed >= 0) d.removeSkin(c.removed);
        if (c.broken) d.dir.write(c.broken, "BM broken");
        d.writeIni(TWO_LANGUAGES);
        SetupConfig config;
        EXPECT_EQ(config.load(d.dataDir()), c.loads);
        EXPECT_EQ(config.languageCount(), c.loads ? 2 : 0);
        EXPECT_EQ(config.getText(0).empty(), !c.loads);
        if (c.loads) {
            EXPECT_EQ(config.getBitmap(SKIN_SPLASH), nullptr);
        }
    }
}

TEST_F(SetupConfigTest, SidePictureFromAProductFolder) {
    disc.removeSkin(SKIN_BAR);
    disc.dir.write("PALM/bar.bmp", testing_support::solidBmp(33, 44, 0xFF0000));
    disc.dir.write("EPOC/readme.txt", "x");
    ASSERT_TRUE(config.load(disc.dataDir()));
    ASSERT_NE(config.getBitmap(SKIN_BAR), nullptr);
    EXPECT_EQ(config.getBitmap(SKIN_BAR)->width(), 33);
    EXPECT_FALSE(config.getBitmap(SKIN_BAR)->fromResources());
    EXPECT_EQ(config.bitmapSource(SKIN_BAR), disc.dataDir() + "PALM\\bar.bmp");
}

TEST_F(SetupConfigTest, SidePictureBuiltInWhenMissingEverywhere) {
    disc.removeSkin(SKIN_BAR);
    disc.dir.write("EPOC/other.bmp", testing_support::solidBmp(3, 3, 0));
    ASSERT_TRUE(config.load(disc.dataDir()));
    ASSERT_NE(config.getBitmap(SKIN_BAR), nullptr);
    EXPECT_TRUE(config.getBitmap(SKIN_BAR)->fromResources());
    EXPECT_GE(config.getBitmap(SKIN_BAR)->width(), 160);
    EXPECT_GE(config.getBitmap(SKIN_BAR)->height(), 320);
    EXPECT_EQ(config.bitmapSource(SKIN_BAR), "");
}

TEST_F(SetupConfigTest, PathsAndOutOfRangeAccessors) {
    disc.writeIni(TWO_LANGUAGES);
    ASSERT_TRUE(config.load(disc.dataDir()));
    std::string out = "unchanged";
    config.getBitmapPath(13, out);
    config.getBitmapPath(-1, out);
    config.getLanguageName(2, out);
    config.getLanguageName(-1, out);
    EXPECT_EQ(out, "unchanged");
    config.getLanguageName(1, out);
    EXPECT_EQ(out, "Deutsch");
    config.getBitmapPath(SKIN_SPLASH, out);
    EXPECT_EQ(out, disc.dataDir() + "rsc\\slogo.bmp");
    config.getViewerPath(out);
    EXPECT_EQ(out, disc.dataDir() + "rsc\\varidi32.exe");
    EXPECT_EQ(config.getBitmap(13), nullptr);
    EXPECT_EQ(config.getBitmap(-1), nullptr);
}

TEST_F(SetupConfigTest, ReloadBitmapsReplacesOnlyWhatTheFolderHas) {
    ASSERT_TRUE(config.load(disc.dataDir()));
    disc.dir.write("PALM/skin/bleft.bmp", testing_support::solidBmp(70, 20, 0));
    disc.dir.write("PALM/skin/dbg.bmp", testing_support::solidBmp(71, 21, 0));
    std::string folder = disc.dataDir() + "PALM\\skin";
    ASSERT_TRUE(config.reloadBitmaps(folder));
    EXPECT_EQ(config.getBitmap(SKIN_BACK)->width(), 70);
    EXPECT_EQ(config.getBitmap(SKIN_BACKGROUND)->width(), 71);
    EXPECT_EQ(config.getBitmap(SKIN_CANCEL)->width(), 10);
    EXPECT_TRUE(config.reloadBitmaps(disc.dataDir() + "nowhere"));
}

TEST_F(SetupConfigTest, FailedReloadKeepsTheOldPicture) {
    ASSERT_TRUE(config.load(disc.dataDir()));
    disc.dir.write("skin/bcancel.bmp", testing_support::solidBmp(50, 20, 0));
    disc.dir.write("skin/bright.bmp", "broken");
    disc.dir.write("skin/dbg.bmp", testing_support::solidBmp(51, 20, 0));
    EXPECT_FALSE(config.reloadBitmaps(disc.dataDir() + "skin"));
    EXPECT_EQ(config.getBitmap(SKIN_CANCEL)->width(), 50);
    ASSERT_NE(config.getBitmap(SKIN_NEXT), nullptr);
    EXPECT_EQ(config.getBitmap(SKIN_NEXT)->width(), 12);
    EXPECT_EQ(config.getBitmap(SKIN_BACKGROUND)->width(), 18);  // after the failure: untouched
}

TEST(CountUsablePlatforms, NeedsInstallerAndFolder) {
    struct Case {
        bool present[4];
        int folders[4];
        int expected;
    } cases[] = {
        {{false, false, false, false}, {1, 1, 1, 1}, 0},
        {{true, true, true, true}, {0, 0, 0, 0}, 0},
        {{true, false, true, false}, {1, 1, 0, 2}, 1},
        {{true, true, true, true}, {1, 2, 1, 1}, 4},
    };
    for (const Case& c : cases) {
        SetupConfig config;
        for (int p = 0; p < 4; ++p) {
            config.installerPresent[p] = c.present[p];
            config.platformFolders[p].assign(c.folders[p], "folder");
        }
        EXPECT_EQ(config.countUsablePlatforms(), c.expected);
    }
}

}  // namespace
