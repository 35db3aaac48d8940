// setuptool check, run as disc authors run it: exit status, messages and report.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_disc.h"

namespace {

using namespace testing_support;

struct CommandCase {
    const char* what;
    const char* disc;  // "check": the check disc; "complete": one complete menu; "broken"; "none"
    const char* args;
    const char* inPlace;  // in the place of report.txt: "", "folder", "link" or "hard link"
    int status;
    const char* stderrHas;
    bool reportExpected;
};

class CheckCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CheckCommand, ExitsAsAuthorsExpect) {
    const CommandCase& c = GetParam();
    const char* bin = std::getenv("SETUP_BIN_DIR");
    ASSERT_NE(bin, nullptr);
    ScratchDir dir;
    std::string what = c.disc;
    if (what == "check") {
        writeCheckDisc(dir, "disc");
    } else if (what == "complete" || what == "broken") {
        writeDiscSettings(dir, "disc");
        dir.write("disc/App/EPOC.mnu", crlf({"EPOC", "1", "App", "1.0", "-", "MENU 0 1 LIST",
                                             what == "broken" ? "BOGUS" : "QUIT", "Leave", "END"}));
        dir.write("disc/App/EPOC/readme.txt", "the package folder");
    } else {
        dir.write("disc/App/EPOC.mnu", "EPOC\r\n");  // no settings
    }
    std::filesystem::create_directories(dir.path() / "work");
    std::string inPlace = c.inPlace;
    std::filesystem::path report = dir.path() / "work" / "report.txt";
    std::filesystem::path outside = dir.write("outside.txt", "outside");
    if (inPlace == "folder") std::filesystem::create_directories(report);
    if (inPlace == "link") std::filesystem::create_symlink(outside, report);
    if (inPlace == "hard link") std::filesystem::create_hard_link(outside, report);

    std::string command = "cd '" + dir.str() + "/work' && '" + bin + "/setuptool' check " + c.args +
                          " 2>'" + dir.str() + "/err' >/dev/null";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << c.what;
    EXPECT_EQ(WEXITSTATUS(raw), c.status) << c.what;
    std::string err = readFile(dir.path() / "err");
    EXPECT_NE(err.find(c.stderrHas), std::string::npos) << c.what << ": " << err;
    // Into a file, a check that ran says nothing: no progress line, no message.
    if (c.status < 2) {
        EXPECT_EQ(err, "") << c.what;
    }

    EXPECT_EQ(readFile(outside), "outside") << c.what;
    std::string dataDir = (dir.path() / "disc").string() + "\\";
    if (what == "check" && c.reportExpected) {
        EXPECT_EQ(readFile(report), expectedCheckReport(dataDir)) << c.what;
    } else if (c.reportExpected) {
        EXPECT_EQ(readFile(report),
                  "Checking menu " + dataDir + "App\\EPOC.mnu:0...\r\nAll OK.\r\n")
            << c.what;
    } else if (inPlace.empty()) {
        EXPECT_FALSE(std::filesystem::exists(report)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CheckCommand,
    ::testing::Values(
        CommandCase{"missingFiles", "check", "../disc", "", 1, "", true},
        CommandCase{"missingFilesAll", "check", "--all ../disc", "", 1, "", true},
        CommandCase{"complete", "complete", "../disc", "", 0, "", true},
        CommandCase{"parseError", "broken", "../disc", "", 2, "Unknown menu keyword", false},
        CommandCase{"noSettings", "none", "../disc", "", 2, "cannot load the settings", false},
        CommandCase{"notAFolder", "none", "../nowhere", "", 2, "not a folder", false},
        CommandCase{"reportCannotBeCreated", "check", "../disc", "folder", 2,
                    "cannot create report.txt in", false},
        CommandCase{"reportIsALink", "check", "../disc", "link", 2, "cannot create report.txt in",
                    false},
        CommandCase{"reportIsAHardLink", "check", "../disc", "hard link", 2,
                    "cannot create report.txt in", false},
        CommandCase{"usage", "check", "../disc extra", "", 2, "usage: setuptool check", false}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
#endif
