// What a successful parse stores.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "parser_test_util.h"

namespace {

const std::string EXAMPLE = lines({"PALM",
                                   "2",
                                   "Sample Collection",
                                   "Version 1.0",
                                   "-",
                                   "; comment lines and empty lines are skipped",
                                   "",
                                   "SETUPREQUIRED 1.50",
                                   "MENU 0 3 RADIOBUTTONS",
                                   "TITLE",
                                   "Welcome",
                                   "*",
                                   "TOPTEXT",
                                   "Please choose an action.",
                                   "*",
                                   "MENUOPTION",
                                   "Install programs",
                                   "1",
                                   "HTMLOPTION",
                                   "Read the introduction",
                                   "intro.htm",
                                   "QUIT",
                                   "Leave",
                                   "MENU 1 2 LIST",
                                   "I",
                                   "Calculator",
                                   "calc",
                                   "EXEOPTION",
                                   "Start the viewer",
                                   "viewer.exe",
                                   "copyright viewer.txt",
                                   "END"});

TEST(ParserExample, TwoMenusAsWritten) {
    ParserHarness h;
    ASSERT_EQ(h.parse("PALM.mnu", EXAMPLE), 0) << h.lastMessage();
    EXPECT_TRUE(h.fake.messages.messages.empty());
    MenuFile& f = *h.file;
    ASSERT_EQ(f.menuCount(), 2);
    const Menu& m0 = f[0];
    EXPECT_EQ(m0.style, MenuStyle::RadioButtons);
    EXPECT_STREQ(m0.title, "Welcome");
    EXPECT_STREQ(m0.topText, "Please choose an action.");
    EXPECT_EQ(m0.bottomText, nullptr);
    EXPECT_STREQ(m0.version, "Version 1.0");
    EXPECT_STREQ(m0.registrationUrl, "-");
    EXPECT_STREQ(m0.packageFolder, "PALM");
    EXPECT_EQ(m0.platformCode, 5);
    ASSERT_EQ(m0.optionCount, 3);
    EXPECT_EQ(m0.options[0].kind, OptionKind::Menu);
    EXPECT_EQ(m0.options[0].targetMenu, 1);
    EXPECT_EQ(m0.options[0].target, nullptr);
    EXPECT_EQ(m0.options[1].kind, OptionKind::Html);
    EXPECT_STREQ(m0.options[1].target, "intro.htm");
    EXPECT_EQ(m0.options[2].kind, OptionKind::Quit);
    EXPECT_STREQ(m0.options[2].label, "Leave");
    const Menu& m1 = f[1];
    EXPECT_EQ(m1.style, MenuStyle::CheckList);
    EXPECT_STREQ(m1.title, "Sample Collection");
    ASSERT_EQ(m1.optionCount, 2);
    EXPECT_EQ(m1.options[0].kind, OptionKind::InstallPalm);
    EXPECT_STREQ(m1.options[0].target, "calc");
    EXPECT_EQ(m1.options[1].kind, OptionKind::Exe);
    EXPECT_STREQ(m1.options[1].target, "viewer.exe");
    EXPECT_STREQ(m1.options[1].copyright, "viewer.txt");
    EXPECT_EQ(m1.optionSelected[0], 0);
    EXPECT_EQ(m1.optionSelected[1], 0);
}

TEST(ParserExample, DirectoryIsTheFolderWithoutSeparator) {
    ParserHarness h;
    std::string path = h.write("disc\\PALM.mnu", "");
    path = h.dir.str() + "\\disc\\PALM.mnu";
    h.write("disc/PALM.mnu", EXAMPLE);
    ASSERT_EQ(parseMenuScript(path, h.file, false, false, h.env), 0);
    EXPECT_EQ(std::string((*h.file)[1].directory), h.dir.str() + "\\disc");
}

TEST(ParserExample, TraceHasEveryKeywordLoopLine) {
    // setuptool escapes control bytes, so a script cannot drive the author's terminal;
    // Setup.exe writes the lines as they are.
    for (bool escaped : {false, true}) {
        ParserHarness h;
        std::FILE* trace = std::tmpfile();
        h.env.trace = trace;
        h.env.escapeTrace = escaped;
        ASSERT_EQ(h.parse("PALM.mnu", lines({"PALM", "1", "A", "V", "U", "MENU 0 1", "TITLE",
                                             "He\x1B[2Jllo\x7F\xE9", "*", "QUIT", "Leave", "END"})),
                  0);
        std::rewind(trace);
        char buf[256] = {};
        std::size_t n = std::fread(buf, 1, sizeof buf - 1, trace);
        std::fclose(trace);
        // Option lines are read by the option, not by the loop.
        const char* title = escaped ? "He\\x1B[2Jllo\\x7F\xE9" : "He\x1B[2Jllo\x7F\xE9";
        EXPECT_EQ(std::string(buf, n),
                  "[MENU 0 1]\n[TITLE]\n[" + std::string(title) + "]\n[*]\n[QUIT]\n[END]\n");
    }
}

const std::string HEAD = lines({"EPOC", "2", "App", "V1", "http://reg"});

struct StoredCase {
    const char* what;
    std::string body;
    int menu, option;
    const char* field;  // label, target, copyright, packageFolder, title, topText, version
    const char* expected;
};

const char* fieldOf(const MenuFile& f, const StoredCase& c) {
    const Menu& m = f[c.menu];
    std::string field = c.field;
    if (field == "packageFolder") return m.packageFolder;
    if (field == "title") return m.title;
    if (field == "topText") return m.topText;
    if (field == "bottomText") return m.bottomText;
    if (field == "version") return m.version;
    if (field == "style")
        return m.style == MenuStyle::RadioButtons ? "radio"
               : m.style == MenuStyle::CheckList  ? "check list"
                                                  : "none";
    const MenuOption& o = m.options[c.option];
    if (field == "label") return o.label;
    if (field == "target") return o.target;
    return o.copyright;
}

class ParserStores : public ::testing::TestWithParam<StoredCase> {};

TEST_P(ParserStores, Field) {
    const StoredCase& c = GetParam();
    ParserHarness h;
    ASSERT_EQ(h.parse("EPOC.mnu", HEAD + c.body), 0) << c.what << ": " << h.lastMessage();
    ASSERT_LT(c.option, std::max((*h.file)[c.menu].optionCount, 1)) << c.what << ": options";
    const char* got = fieldOf(*h.file, c);
    if (!c.expected) {
        EXPECT_EQ(got, nullptr) << c.what;
    } else {
        ASSERT_NE(got, nullptr) << c.what;
        EXPECT_STREQ(got, c.expected) << c.what;
    }
}

const std::string M1 = lines({"MENU 1 1", "QUIT", "Q"});

INSTANTIATE_TEST_SUITE_P(
    Fields, ParserStores,
    ::testing::Values(
        StoredCase{"folder with blanks",
                   lines({"MENU 0 1 radiobuttons Extra files", "QUIT", "Q"}) + M1 + lines({"END"}),
                   0, 0, "packageFolder", "Extra files"},
        StoredCase{"style word in lower case",
                   lines({"MENU 0 1 radiobuttons", "QUIT", "Q"}) + M1 + lines({"END"}), 0, 0,
                   "style", "radio"},
        StoredCase{"style word by its prefix",
                   lines({"MENU 0 1 RadioButtonsWide", "QUIT", "Q"}) + M1 + lines({"END"}), 0, 0,
                   "style", "radio"},
        StoredCase{"any other style word",
                   lines({"MENU 0 1 LIST", "QUIT", "Q"}) + M1 + lines({"END"}), 0, 0, "style",
                   "check list"},
        StoredCase{
            "blanks after MENU: the menu named is declared",
            lines({"MENU 0 1", "QUIT", "Q", "MENU   1 1   RADIOBUTTONS", "QUIT", "Q", "END"}), 1, 0,
            "style", "radio"},
        StoredCase{
            "blanks after MENU: no folder words",
            lines({"MENU 0 1", "QUIT", "Q", "MENU   1 1   RADIOBUTTONS", "QUIT", "Q", "END"}), 1, 0,
            "packageFolder", "EPOC"},
        StoredCase{
            "BOTTOMTEXT is the bottom text",
            lines({"MENU 0 1", "BOTTOMTEXT", "Below", "*", "QUIT", "Q"}) + M1 + lines({"END"}), 0,
            0, "bottomText", "Below"},
        StoredCase{
            "BOTTOMTEXT leaves the top text",
            lines({"MENU 0 1", "BOTTOMTEXT", "Below", "*", "QUIT", "Q"}) + M1 + lines({"END"}), 0,
            0, "topText", nullptr},
        StoredCase{"no folder gives the platform name",
                   lines({"MENU 0 1", "QUIT", "Q"}) + M1 + lines({"END"}), 0, 0, "packageFolder",
                   "EPOC"},
        StoredCase{"copyright with colon",
                   lines({"MENU 0 1", "EXEOPTION", "Run", "a.exe", "copyright: lic.txt"}) + M1 +
                       lines({"END"}),
                   0, 0, "copyright", "lic.txt"},
        StoredCase{"copyright with equals",
                   lines({"MENU 0 1", "EXEOPTION", "Run", "a.exe", "COPYRIGHT=lic.txt"}) + M1 +
                       lines({"END"}),
                   0, 0, "copyright", "lic.txt"},
        StoredCase{
            "the bare word copyright gives an empty name",
            lines({"MENU 0 1", "EXEOPTION", "Run", "a.exe", "copyright"}) + M1 + lines({"END"}), 0,
            0, "copyright", ""},
        StoredCase{"EXEOPTION last before END: END is put back",
                   M1 + lines({"MENU 0 1", "EXEOPTION", "Run", "a.exe", "END"}), 0, 0, "copyright",
                   nullptr},
        StoredCase{"EXEOPTION before a comment and the next keyword",
                   lines({"MENU 0 2", "EXEOPTION", "Run", "a.exe", "; note", "QUIT", "Q"}) + M1 +
                       lines({"END"}),
                   0, 1, "label", "Q"},
        StoredCase{"text block lines joined by line feeds, comments skipped",
                   lines({"MENU 0 1", "TOPTEXT", "  first  ", "; not text", "", "second", "*",
                          "QUIT", "Q"}) +
                       M1 + lines({"END"}),
                   0, 0, "topText", "first\nsecond"},
        StoredCase{"VERSION replaces the header version",
                   lines({"MENU 0 1", "VERSION", "2.0", "*", "QUIT", "Q"}) + M1 + lines({"END"}), 0,
                   0, "version", "2.0"},
        StoredCase{"second menu keeps the header title",
                   lines({"MENU 0 1", "TITLE", "T", "*", "QUIT", "Q"}) + M1 + lines({"END"}), 1, 0,
                   "title", "App"},
        StoredCase{
            "keywords without regard to case",
            lines({"menu 0 1", "htmloption", "Web", "http://x", "Menu 1 1", "quit", "Q", "end"}), 0,
            0, "target", "http://x"},
        StoredCase{"bytes above 127 kept in texts",
                   lines({"MENU 0 1", "QUIT", "Caf\xe9 \xfc"}) + M1 + lines({"END"}), 0, 0, "label",
                   "Caf\xe9 \xfc"},
        StoredCase{"menus in any order",
                   M1 + lines({"MENU 0 1", "HTMLOPTION", "A", "b.htm", "END"}), 0, 0, "target",
                   "b.htm"}));

struct KindCase {
    const char* device;
    const char* keyword;
    OptionKind kind;
};

class ParserKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(ParserKinds, InstallOptionTakesThePlatformCode) {
    const KindCase& c = GetParam();
    ParserHarness h;
    std::string name = std::string(c.device) + ".mnu";
    ASSERT_EQ(h.parse(name, lines({c.device, "1", "A", "V", "U", "MENU 0 1", c.keyword, "Pkg",
                                   "pkg", "END"})),
              0)
        << h.lastMessage();
    ASSERT_EQ((*h.file)[0].optionCount, 1);
    EXPECT_EQ((*h.file)[0].options[0].kind, c.kind);
    EXPECT_EQ((*h.file)[0].platformCode, static_cast<int>(c.kind));
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, ParserKinds,
    ::testing::Values(KindCase{"EPOC", "INSTALLOPTION", OptionKind::InstallEpoc},
                      KindCase{"N9210", "I", OptionKind::InstallN9210},
                      KindCase{"POCKETPC", "i", OptionKind::InstallPocketPc},
                      KindCase{"PALM", "installoption", OptionKind::InstallPalm}));

TEST(ParserOptions, MenuLinksAndAutoFlag) {
    ParserHarness h;
    ASSERT_EQ(
        h.parse("EPOC.mnu", HEAD + lines({"MENU 0 2", "MENUOPTION", "Go", "1", "AUTOMENUOPTION",
                                          "Auto", "7x", "MENU 1 1", "QUIT", "Q", "END"})),
        0);
    const Menu& m = (*h.file)[0];
    ASSERT_EQ(m.optionCount, 2);
    EXPECT_EQ(m.options[0].autoFlag, 0);
    EXPECT_EQ(m.options[0].targetMenu, 1);
    EXPECT_EQ(m.options[1].autoFlag, 1);
    EXPECT_EQ(m.options[1].targetMenu, 7);  // not checked against the menu count
}

TEST(ParserOptions, ExtraOptionsNeverWritePastTheArrays) {
    ParserHarness h;
    std::string body = "MENU 0 2\r\n";
    for (int i = 0; i < 50; ++i) body += "HTMLOPTION\r\nLabel\r\npage.htm\r\n";
    body += lines({"MENU 1 1", "QUIT", "Q", "END"});
    EXPECT_EQ(h.parse("EPOC.mnu", HEAD + body), -97);
    ASSERT_NE(h.file, nullptr);
    EXPECT_EQ((*h.file)[0].optionCount, 2);
}

TEST(ParserText, BlockOfExactlyTheBufferLimit) {
    // The joined text may hold 1023 bytes; one more fails.
    for (int length : {1022, 1023, 1024}) {
        ParserHarness h;
        std::string body = "MENU 0 1\r\nTITLE\r\n" +
                           std::string(static_cast<std::size_t>(length) - 500 - 1, 'a') + "\r\n" +
                           std::string(500, 'b') + "\r\n*\r\n" +
                           lines({"QUIT", "Q", "MENU 1 1", "QUIT", "Q", "END"});
        int r = h.parse("EPOC.mnu", HEAD + body);
        // Joined text: (length - 501) + 1 + 500 = length bytes.
        if (length <= 1023) {
            EXPECT_EQ(r, 0) << length;
            EXPECT_EQ(std::strlen((*h.file)[0].title), static_cast<std::size_t>(length));
        } else {
            EXPECT_EQ(r, -6) << length;
        }
    }
}

TEST(ParserLines, LongPhysicalLineContinuesAsNextLine) {
    // A 1500-byte label: the first 1023 bytes are the label, the rest is read as the next
    // line, which here becomes the target.
    ParserHarness h;
    std::string label(1023, 'x');
    std::string rest(477, 'y');
    ASSERT_EQ(h.parse("EPOC.mnu", HEAD + "MENU 0 1\r\nHTMLOPTION\r\n" + label + rest + "\r\n" +
                                      lines({"MENU 1 1", "QUIT", "Q", "END"})),
              0)
        << h.lastMessage();
    ASSERT_EQ((*h.file)[0].optionCount, 1);
    EXPECT_EQ(std::string((*h.file)[0].options[0].label), label);
    EXPECT_EQ(std::string((*h.file)[0].options[0].target), rest);
}

TEST(ParserLines, WordsEndAtHighBytes) {
    // "MENU 1\xA0 1": the signed word end stops the number at the high byte, and the count
    // word then starts with it and is empty.
    ParserHarness h;
    EXPECT_EQ(h.parse("EPOC.mnu", HEAD + lines({"MENU 0\xA0 1"})), -3);
    EXPECT_EQ(h.lastMessage(), "BAD NRCHOICES NUMBER");
}

struct RequiredCase {
    const char* value;
    int code;
};
class ParserRequired : public ::testing::TestWithParam<RequiredCase> {};
TEST_P(ParserRequired, ComparesAsDecimalFraction) {
    ParserHarness h;
    int r =
        h.parse("EPOC.mnu", HEAD + "SETUPREQUIRED " + GetParam().value + "\r\n" +
                                lines({"MENU 0 1", "QUIT", "Q", "MENU 1 1", "QUIT", "Q", "END"}));
    EXPECT_EQ(r, GetParam().code) << GetParam().value;
}
INSTANTIATE_TEST_SUITE_P(Versions, ParserRequired,
                         ::testing::Values(RequiredCase{"1.81", 0}, RequiredCase{"1.8", 0},
                                           RequiredCase{"1.810", 0}, RequiredCase{"abc", 0},
                                           RequiredCase{"1.811", -1}, RequiredCase{"1.9", -1},
                                           RequiredCase{"2", -1}));

TEST(ParserLanguages, StartMenusPerLanguage) {
    ParserHarness h;
    h.env.languageCount = 3;
    ASSERT_EQ(h.parse("EPOC.mnu",
                      HEAD + lines({"MENU_FOR_LANGUAGE 2 1", "MENU_FOR_LANGUAGE 0 5", "MENU 0 1",
                                    "QUIT", "Q", "MENU 1 1", "QUIT", "Q", "END"})),
              0);
    const Menu& m = (*h.file)[0];
    ASSERT_EQ(m.languageCount, 3);
    EXPECT_EQ(m.languageStartMenu[0], 5);  // not checked against the menu count
    EXPECT_EQ(m.languageStartMenu[1], 0);
    EXPECT_EQ(m.languageStartMenu[2], 1);
    EXPECT_EQ((*h.file)[1].languageCount, 0);
    EXPECT_EQ((*h.file)[1].languageStartMenu, nullptr);
}

TEST(ParserHeaderOnly, ReadsOnlyTheFirstMenuLine) {
    ParserHarness h;
    // Errors after the first MENU line show only in the full parse.
    std::string script = HEAD + lines({"MENU 0 4 RADIOBUTTONS Extras", "CHECKBOX", "END"});
    ASSERT_EQ(h.parse("EPOC.mnu", script, true), 0) << h.lastMessage();
    const Menu& m = (*h.file)[0];
    EXPECT_EQ(h.file->menuCount(), 1);
    EXPECT_EQ(m.menuCount, 1);
    EXPECT_EQ(m.optionCount, 4);
    EXPECT_EQ(m.options, nullptr);
    EXPECT_EQ(m.optionSelected, nullptr);
    EXPECT_EQ(m.style, MenuStyle::RadioButtons);
    EXPECT_STREQ(m.packageFolder, "Extras");
    EXPECT_STREQ(m.title, "App");
    EXPECT_EQ(h.parse("EPOC.mnu", script, false), -4);
}

TEST(ParserHeaderOnly, FirstMenuMustBeMenuZero) {
    ParserHarness h;
    EXPECT_EQ(h.parse("EPOC.mnu", HEAD + lines({"MENU 1 1", "QUIT", "Q"}), true), -3);
    EXPECT_EQ(h.lastMessage(), "BAD MENU NUMBER");
}

// Opens everything but files whose name holds "locked".
class LockingFileSystem : public platform::FileSystem {
public:
    explicit LockingFileSystem(platform::FileSystem& real) : real_(real) {}
    bool exists(const std::string& p) override { return real_.exists(p); }
    bool isFolder(const std::string& p) override { return real_.isFolder(p); }
    std::unique_ptr<platform::FileFinder> findFirst(const std::string& p) override {
        return real_.findFirst(p);
    }
    bool createFolder(const std::string& p) override { return real_.createFolder(p); }
    bool removeFolder(const std::string& p) override { return real_.removeFolder(p); }
    bool deleteFile(const std::string& p) override { return real_.deleteFile(p); }
    bool setFileTimes(const std::string& p, std::int64_t a, std::int64_t m) override {
        return real_.setFileTimes(p, a, m);
    }
    bool currentFolder(std::string& out) override { return real_.currentFolder(out); }
    bool setCurrentFolder(const std::string& p) override { return real_.setCurrentFolder(p); }
    platform::FilePtr openFile(const std::string& p, const char* mode) override {
        if (p.find("locked") != std::string::npos) return nullptr;
        return real_.openFile(p, mode);
    }

private:
    platform::FileSystem& real_;
};

TEST(ParserSwitchTo, RelativeToTheFirstScriptsFolder) {
    ParserHarness h;
    // The second file lies beside the first script, also when reached from a sub-folder.
    h.write("sub/PALM.mnu", lines({"PALM", "3", "A", "V", "U", "SWITCHTO part1.mnu"}));
    h.write("sub/part1.mnu",
            lines({"SETUPREQUIRED 1.0", "MENU 0 1", "QUIT", "Q", "SWITCHTO part2.mnu"}));
    h.write("sub/part2.mnu",
            lines({"MENU 1 1", "QUIT", "R", "MENU 2 1", "QUIT", "S", "END", "garbage after END"}));
    int r = parseMenuScript(h.dir.str() + "/sub/PALM.mnu", h.file, false, false, h.env);
    ASSERT_EQ(r, 0) << h.lastMessage();
    ASSERT_EQ((*h.file)[2].optionCount, 1);
    EXPECT_STREQ((*h.file)[2].options[0].label, "S");
}

// A file reached by SWITCHTO a second time would be read again for ever; the first script
// itself fails on its device line instead.
struct LoopCase {
    const char* what;
    std::vector<std::pair<const char*, std::string>> files;  // the first is parsed
    bool headerOnly;
    int code;
    const char* message;  // "" for success
};

class ParserSwitchLoop : public ::testing::TestWithParam<LoopCase> {};

TEST_P(ParserSwitchLoop, EndsWithCodeAndMessage) {
    const LoopCase& c = GetParam();
    ParserHarness h;
    for (const auto& [name, text] : c.files) h.write(name, text);
    std::filesystem::create_directories(h.dir.path() / "sub" / "x");
    int r =
        parseMenuScript(h.dir.str() + "/" + c.files[0].first, h.file, c.headerOnly, false, h.env);
    EXPECT_EQ(r, c.code) << c.what;
    EXPECT_EQ(h.lastMessage(), c.message) << c.what;
}

const std::string LOOP_HEAD = lines({"PALM", "1", "A", "V", "U"});
const std::string ONE_MENU = lines({"MENU 0 1", "QUIT", "Q", "END"});

INSTANTIATE_TEST_SUITE_P(
    Chains, ParserSwitchLoop,
    ::testing::Values(LoopCase{"a file that switches to itself",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO loop.mnu"})},
                                {"loop.mnu", lines({"SWITCHTO loop.mnu"})}},
                               false,
                               -1,
                               "Menu files switch back to loop.mnu"},
                      LoopCase{"the same, header only",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO loop.mnu"})},
                                {"loop.mnu", lines({"SWITCHTO loop.mnu"})}},
                               true,
                               -1,
                               "Menu files switch back to loop.mnu"},
                      LoopCase{"a chain of three that closes",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO a.mnu"})},
                                {"a.mnu", lines({"SWITCHTO b.mnu"})},
                                {"b.mnu", lines({"SETUPREQUIRED 1.0", "SWITCHTO c.mnu"})},
                                {"c.mnu", lines({"SWITCHTO a.mnu"})}},
                               false,
                               -1,
                               "Menu files switch back to a.mnu"},
                      LoopCase{"a switch back to the first script meets its device line",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO a.mnu"})},
                                {"a.mnu", lines({"SWITCHTO PALM.mnu"})}},
                               false,
                               -2,
                               "MENU or SWITCHTO expected"},
                      LoopCase{"a chain that does not close",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO a.mnu"})},
                                {"a.mnu", lines({"SWITCHTO b.mnu"})},
                                {"b.mnu", lines({"SWITCHTO c.mnu"})},
                                {"c.mnu", ONE_MENU}},
                               false,
                               0,
                               ""},
                      LoopCase{"the same file named with other case and separators",
                               {{"PALM.mnu", LOOP_HEAD + lines({"SWITCHTO sub/a.mnu"})},
                                {"sub/a.mnu", lines({"SWITCHTO b.mnu"})},
                                {"b.mnu", lines({"SWITCHTO SUB\\.\\x\\..\\A.MNU"})}},
                               false,
                               -1,
                               "Menu files switch back to SUB\\.\\x\\..\\A.MNU"}));

TEST(ParserSwitchTo, ExistingFileThatCannotBeOpened) {
    ParserHarness h;
    LockingFileSystem fs(*h.env.system.fs);
    h.env.system.fs = &fs;
    h.write("locked.mnu", lines({"MENU 0 1"}));
    EXPECT_EQ(h.parse("PALM.mnu", lines({"PALM", "1", "A", "V", "U", "SWITCHTO locked.mnu"})), -1);
    EXPECT_EQ(h.lastMessage(), "Could not read additional menu file");
}

TEST(ParserProgress, ReportsAndStopsOnCancel) {
    ParserHarness h;
    h.fake.clock.step = 600;  // every pass finds the display due for a refresh
    h.fake.progress.cancelAtPump = 3;
    h.env.progressText = "Loading menus...";
    h.env.appCaption = "Sample Setup";
    std::string path = h.write("PALM.mnu", EXAMPLE);
    EXPECT_EQ(parseMenuScript(path, h.file, false, true, h.env), -200);
    EXPECT_EQ(h.lastMessage(), "User interruption");
    const auto& ev = h.fake.progress.events;
    ASSERT_GE(ev.size(), 3u);
    EXPECT_EQ(ev[0].what, "open");
    EXPECT_EQ(ev[0].text, "Sample Setup");
    EXPECT_EQ(ev[0].a, 0);  // Cancel shown
    EXPECT_EQ(ev[1].what, "text");
    EXPECT_EQ(ev[1].text, "Loading menus...");
    EXPECT_EQ(ev[1].b, 2);               // range 0 .. menu count
    EXPECT_EQ(ev.back().what, "close");  // the display is removed on the way out
}

TEST(ParserProgress, RefreshesAtMostEvery500ms) {
    ParserHarness h;
    h.fake.clock.step = 100;  // five passes per refresh
    std::string path = h.write("PALM.mnu", EXAMPLE);
    ASSERT_EQ(parseMenuScript(path, h.file, false, true, h.env), 0);
    // The example's keyword loop makes 17 passes: pumps at passes 1, 6, 11 and 16.
    EXPECT_EQ(h.fake.progress.pumps, 4);
}

TEST(LoadFull, ReplacesHeaderOnlyRecord) {
    ParserHarness h;
    std::string path = h.write("PALM.mnu", EXAMPLE);
    MenuFileList list(1);
    ASSERT_EQ(parseMenuScript(path, list[0], true, false, h.env), 0);
    ASSERT_EQ(loadFullMenuFile(list, 0, h.env), 0);
    ASSERT_NE(list[0], nullptr);
    EXPECT_EQ(list[0]->menuCount(), 2);
    EXPECT_EQ(h.env.appCaption, "Sample Collection Setup");
}

TEST(LoadFull, MissingScriptKeepsHeaderRecord) {
    ParserHarness h;
    std::string path = h.write("PALM.mnu", EXAMPLE);
    MenuFileList list(1);
    ASSERT_EQ(parseMenuScript(path, list[0], true, false, h.env), 0);
    std::filesystem::remove(path);
    EXPECT_EQ(loadFullMenuFile(list, 0, h.env), -1);
    EXPECT_EQ(h.lastMessage(), "Could not read menu file");
    ASSERT_NE(list[0], nullptr);
    EXPECT_EQ(list[0]->menuCount(), 1);
}

TEST(LoadFull, FailedParseBeforeBlockClearsEntry) {
    ParserHarness h;
    std::string path = h.write("PALM.mnu", EXAMPLE);
    MenuFileList list(1);
    ASSERT_EQ(parseMenuScript(path, list[0], true, false, h.env), 0);
    h.write("PALM.mnu", lines({"PALM", "0"}));
    EXPECT_EQ(loadFullMenuFile(list, 0, h.env), -33);
    EXPECT_EQ(list[0], nullptr);
}

}  // namespace
