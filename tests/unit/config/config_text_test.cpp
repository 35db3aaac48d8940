#include <gtest/gtest.h>

#include "config/setup_config.h"
#include "config/text_file.h"
#include "disc_fixture.h"

namespace {

// Texts of language 0, reachable by number: 5 "Install %s for %s", 7 "Page %s" ...
class ResolveTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        disc.writeAllSkins();
        std::string ini = "[Language]\nlang0=X\n[lang0]\n";
        const char* texts[] = {
            "Zero %s", "one",      "two",      "three",    "four",      "Install %s for %s",
            "six",     "Page %s",  "plain",    "%s-%s-%s", "ten",       "eleven",
            "twelve",  "thirteen", "fourteen", "fifteen",  "Sixteen %s"};
        for (int i = 0; i < 17; ++i) ini += "text" + std::to_string(i) + "=" + texts[i] + "\n";
        disc.writeIni(ini);
        ASSERT_TRUE(config.load(disc.dataDir()));
    }
    DiscFixture disc;
    SetupConfig config;
};

TEST_F(ResolveTextTest, Table) {
    struct Case {
        const char* source;
        const char* expected;
    } cases[] = {
        {"no reference", "no reference"},
        {"", ""},
        {"%", "%"},
        {"%1Palm", "%1Palm"},
        {"x%05Palm", "x%05Palm"},
        {"%05Palm Desktop|Palm", "Install Palm Desktop for Palm"},
        {"%05A|B|C", "Install A for B"},
        {"%05Only", "Install Only for Only"},
        {"%05", "Install 5 for 5"},
        {"%07", "Page 7"},
        {"%08args|ignored", "plain"},
        {"%099", "%099"},
        {"%0999999999999999999Arg", "%0999999999999999999Arg"},
        {"%016", "Sixteen 6"},
        {"%016Disc", "Sixteen Disc"},
        {"%0", "Zero "},
        {"%09|b|c", "-b-c"},
        {"%09a|", "a|-a|-a|"},
        {"%05A|", "Install A| for A|"},
        {"%01", "one"},
        {"%0-1", "Zero -1"},
    };
    for (const Case& c : cases) EXPECT_EQ(config.resolveText(c.source), c.expected) << c.source;
}

TEST_F(ResolveTextTest, ArgumentHoldingPlaceholderEnds) {
    EXPECT_EQ(config.resolveText("%05%s|%s"), "Install %s for %s");
    EXPECT_EQ(config.resolveText("%09%s%s"), "%s%s-%s%s-%s%s");
}

TEST_F(ResolveTextTest, EmptyTextLeavesSource) {
    SetupConfig empty;
    EXPECT_EQ(empty.resolveText("%05A|B"), "%05A|B");
}

TEST(ReadTextFile, LinesEndInCrLf) {
    struct Case {
        const char* name;
        std::string content;
        std::string expected;
    } cases[] = {
        {"final line feed", "a\nb\n", "a\r\nb\r\n"},
        {"no final line feed", "a\nb", "a\r\nb\r\n"},
        {"CR LF", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"empty line kept", "a\n\nb", "a\r\n\r\nb\r\n"},
        {"empty file", "", ""},
        {"lone CR stays", "a\rb\n", "a\rb\r\n"},
        {"CR at the very end", "a\r", "a\r\n"},
        {"Ctrl-Z ends the file",
         "a\nb\x1A"
         "c\n",
         "a\r\nb\r\n"},
        {"high bytes", "\xE9t\xE9\n", "\xE9t\xE9\r\n"},
    };
    testing_support::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = dir.write("t.txt", c.content).string();
        std::string out = "kept:";
        readTextFile(platform::systemFileSystem(), path, out);
        EXPECT_EQ(out, "kept:" + c.expected);
    }
}

TEST(ReadTextFile, MissingFileLeavesOutAlone) {
    testing_support::ScratchDir dir;
    std::string out = "as before";
    readTextFile(platform::systemFileSystem(), (dir.path() / "none.txt").string(), out);
    EXPECT_EQ(out, "as before");
    SetupConfig config;
    EXPECT_EQ(config.loadTextFile((dir.path() / "none.txt").string()), "");
}

}  // namespace
