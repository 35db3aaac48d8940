// Every failure of the parser, each produced by its own cause.
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <utility>
#include <vector>

#include "parser_test_util.h"

namespace {

const std::string HEAD = lines({"PALM", "2", "App", "Version 1.0", "http://example.com/reg"});

struct FailureCase {
    const char* cause;
    std::string script;
    int languages;
    int code;
    const char* message;
};

std::string withMenus(const std::string& body) {
    return HEAD + body;
}

const std::string MENU0 = lines({"MENU 0 1", "QUIT", "Leave"});
const std::string MENU1 = lines({"MENU 1 1", "QUIT", "Leave"});

class ParserFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ParserFailure, ReportsCodeAndMessage) {
    const FailureCase& c = GetParam();
    ParserHarness h;
    h.env.languageCount = c.languages;
    EXPECT_EQ(h.parse("PALM.mnu", c.script), c.code) << c.cause;
    ASSERT_EQ(h.fake.messages.messages.size(), 1u) << c.cause;
    EXPECT_EQ(h.lastMessage(), c.message) << c.cause;
    EXPECT_EQ(h.fake.messages.messages[0].icon, platform::MessageIcon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(
    AllRows, ParserFailure,
    ::testing::Values(
        FailureCase{"file ends before the device line", lines({"; only a comment"}), 0, -31,
                    "Device name expected"},
        FailureCase{"device line does not begin with the file's base name", lines({"EPOC"}), 0, -31,
                    "Wrong device name specified"},
        FailureCase{"device name compared with regard to case", lines({"Palm"}), 0, -31,
                    "Wrong device name specified"},
        FailureCase{"device line is no platform name", lines({"PALMTOP"}), 0, -30,
                    "Unknown device name"},
        FailureCase{"file ends before the menu count", lines({"PALM"}), 0, -32,
                    "Nr of menu's expected"},
        FailureCase{"menu count 0", lines({"PALM", "0"}), 0, -33, "Weird nr of menu's specified"},
        FailureCase{"menu count 1000", lines({"PALM", "1000"}), 0, -33,
                    "Weird nr of menu's specified"},
        FailureCase{"file ends before the application name", lines({"PALM", "1"}), 0, -31,
                    "Application name expected"},
        FailureCase{"file ends before the version", lines({"PALM", "1", "App"}), 0, -31,
                    "Version number expected"},
        FailureCase{"file ends before the registration URL", lines({"PALM", "1", "App", "V"}), 0,
                    -31, "Registration URL expected"},
        FailureCase{"SETUPREQUIRED above the program's version",
                    withMenus(lines({"SETUPREQUIRED 1.9"})), 0, -1,
                    "This version of SETUP.EXE is too old to handle the installation of the "
                    "selected software"},
        FailureCase{"SETUPREQUIRED 2", withMenus(lines({"SETUPREQUIRED 2"})), 0, -1,
                    "This version of SETUP.EXE is too old to handle the installation of the "
                    "selected software"},
        FailureCase{"language number not below the languages",
                    withMenus(lines({"MENU_FOR_LANGUAGE 2 1"})), 2, -1,
                    "Wrong language specified!"},
        FailureCase{"negative language number", withMenus(lines({"MENU_FOR_LANGUAGE -1 1"})), 2, -1,
                    "Wrong language specified!"},
        FailureCase{"language without configuration languages",
                    withMenus(lines({"MENU_FOR_LANGUAGE 0 1"})), 0, -1,
                    "Wrong language specified!"},
        FailureCase{"SWITCHTO file missing", withMenus(lines({"SWITCHTO missing.mnu"})), 0, -1,
                    "additional menu file is not found"},
        FailureCase{"other line where MENU is expected", withMenus(lines({"TITLE"})), 0, -2,
                    "MENU or SWITCHTO expected"},
        FailureCase{"MENU without the blank is no MENU line", withMenus(lines({"MENU"})), 0, -2,
                    "MENU or SWITCHTO expected"},
        FailureCase{"menu number not below the count", withMenus(lines({"MENU 2 1"})), 0, -3,
                    "BAD MENU NUMBER"},
        FailureCase{"negative menu number", withMenus(lines({"MENU -1 1"})), 0, -3,
                    "BAD MENU NUMBER"},
        FailureCase{"option count 0", withMenus(lines({"MENU 0 0"})), 0, -3,
                    "BAD NRCHOICES NUMBER"},
        FailureCase{"option count 9999", withMenus(lines({"MENU 0 9999"})), 0, -3,
                    "BAD NRCHOICES NUMBER"},
        FailureCase{"unknown line in a menu body", withMenus(lines({"MENU 0 1", "CHECKBOX"})), 0,
                    -4, "Unknown menu keyword"},
        FailureCase{"SETUPREQUIRED inside a menu body",
                    withMenus(lines({"MENU 0 1", "SETUPREQUIRED 1.0"})), 0, -4,
                    "Unknown menu keyword"},
        FailureCase{"file ends before an option's first line",
                    withMenus(lines({"MENU 0 1", "HTMLOPTION"})), 0, -9,
                    "Unexpected end of option"},
        FailureCase{"file ends before an option's second line",
                    withMenus(lines({"MENU 0 1", "HTMLOPTION", "Read me"})), 0, -10,
                    "Unexpected end of option"},
        FailureCase{"text block longer than the buffer",
                    withMenus("MENU 0 1\r\nTOPTEXT\r\n" + std::string(600, 'a') + "\r\n" +
                              std::string(500, 'b') + "\r\n*\r\n"),
                    0, -6, "Buffer too long"},
        FailureCase{"fewer MENU lines than declared", withMenus(MENU0 + lines({"END"})), 0, -91,
                    "Bad nr of menu's found"},
        FailureCase{"a menu number given twice counts twice",
                    withMenus(MENU0 + MENU0 + MENU1 + lines({"END"})), 0, -91,
                    "Bad nr of menu's found"},
        FailureCase{"MENU lines past the count fail at the first one, before the end",
                    withMenus(MENU0 + MENU1 + MENU0 + lines({"TITLE"})), 0, -91,
                    "Bad nr of menu's found"},
        FailureCase{"last menu with fewer options than declared",
                    withMenus(MENU0 + lines({"MENU 1 2", "QUIT", "Leave", "END"})), 0, -97,
                    "Bad nr of options in mneu"},
        FailureCase{"menu with fewer options before the next MENU",
                    withMenus(lines({"MENU 0 2", "QUIT", "Leave"}) + MENU1 + lines({"END"})), 0,
                    -97, "Bad nr of options in mneu"},
        FailureCase{"menu with more options than declared",
                    withMenus(lines({"MENU 0 1", "QUIT", "A", "QUIT", "B", "QUIT", "C"}) + MENU1 +
                              lines({"END"})),
                    0, -97, "Bad nr of options in mneu"},
        FailureCase{"file ends before END", withMenus(MENU0 + MENU1), 0, -95,
                    "Unexpected end of file"},
        FailureCase{"text block reaches the end of the file",
                    withMenus(lines({"MENU 0 1", "TITLE", "Welcome"})), 0, -95,
                    "Unexpected end of file"}));

TEST(ParserOpen, MissingScriptCannotBeRead) {
    ParserHarness h;
    EXPECT_EQ(parseMenuScript(h.dir.str() + "\\PALM.mnu", h.file, false, false, h.env), -1);
    EXPECT_EQ(h.lastMessage(), "Could not read menu file");
    EXPECT_EQ(h.file, nullptr);
}

// Scripts are read only from regular files: a device or a pipe named by a disc would never
// end or never begin.
TEST(ParserOpen, OnlyRegularFilesAreRead) {
    ParserHarness h;
    std::filesystem::create_directories(h.dir.path() / "folder.mnu");
    std::vector<std::pair<std::string, const char*>> switches = {
        {"folder.mnu", "Could not read additional menu file"}};
#ifdef _WIN32
    switches.push_back({"NUL", "Could not read additional menu file"});
#else
    ASSERT_EQ(::mkfifo((h.dir.path() / "fifo.mnu").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((h.dir.path() / "EPOC.mnu").c_str(), 0600), 0);
    switches.push_back({"fifo.mnu", "Could not read additional menu file"});
    switches.push_back(
        {"../../../../../../../../../dev/zero", "Could not read additional menu file"});
    EXPECT_EQ(parseMenuScript(h.dir.str() + "/EPOC.mnu", h.file, true, false, h.env), -1);
    EXPECT_EQ(h.lastMessage(), "Could not read menu file");
#endif
    for (const auto& [name, message] : switches) {
        for (bool headerOnly : {false, true}) {
            EXPECT_EQ(h.parse("PALM.mnu", withMenus("SWITCHTO " + name + "\r\n"), headerOnly), -1)
                << name;
            EXPECT_EQ(h.lastMessage(), message) << name;
        }
    }
}

TEST(ParserOpen, LateFailureLeavesPartlyFilledFile) {
    ParserHarness h;
    EXPECT_EQ(h.parse("PALM.mnu", withMenus(MENU0 + lines({"MENU 1 1", "CHECKBOX"}))), -4);
    ASSERT_NE(h.file, nullptr);
    EXPECT_EQ(h.file->menuCount(), 2);
    EXPECT_EQ((*h.file)[0].optionCount, 1);
    EXPECT_STREQ((*h.file)[0].options[0].label, "Leave");
}

TEST(ParserOpen, EarlyFailureCreatesNoFile) {
    ParserHarness h;
    EXPECT_EQ(h.parse("PALM.mnu", lines({"PALM", "5000"})), -33);
    EXPECT_EQ(h.file, nullptr);
}

}  // namespace
