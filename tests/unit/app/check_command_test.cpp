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
    bool reportIsFolder;  // report.txt cannot be created
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
    if (c.reportIsFolder) std::filesystem::create_directories(dir.path() / "work" / "report.txt");

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

    std::filesystem::path report = dir.path() / "work" / "report.txt";
    std::string dataDir = (dir.path() / "disc").string() + "\\";
    if (what == "check" && c.reportExpected) {
        EXPECT_EQ(readFile(report), expectedCheckReport(dataDir)) << c.what;
    } else if (c.reportExpected) {
        EXPECT_EQ(readFile(report),
                  "Checking menu " + dataDir + "App\\EPOC.mnu:0...\r\nAll OK.\r\n")
            << c.what;
    } else if (!c.reportIsFolder) {
        EXPECT_FALSE(std::filesystem::exists(report)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CheckCommand,
    ::testing::Values(
        CommandCase{"missingFiles", "check", "../disc", false, 1, "", true},
        CommandCase{"missingFilesAll", "check", "--all ../disc", false, 1, "", true},
        CommandCase{"complete", "complete", "../disc", false, 0, "", true},
        CommandCase{"parseError", "broken", "../disc", false, 2, "Unknown menu keyword", false},
        CommandCase{"noSettings", "none", "../disc", false, 2, "cannot load the settings", false},
        CommandCase{"notAFolder", "none", "../nowhere", false, 2, "not a folder", false},
        CommandCase{"reportCannotBeCreated", "check", "../disc", true, 2,
                    "cannot create report.txt in", false},
        CommandCase{"usage", "check", "../disc extra", false, 2, "usage: setuptool check", false}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
#endif
