// Check mode on a generated disc: the report byte for byte, the progress and the cancel.
#include <gtest/gtest.h>

#include "run/check.h"
#include "run/loader.h"
#include "config/setup_config.h"
#include "support/test_disc.h"

namespace {

using namespace testing_support;

// The check disc, loaded as check mode loads it.
struct CheckedDisc {
    ScratchDir dir;
    FakeSystem fake;
    SetupConfig config;
    MenuFileList menuFiles;
    std::string dataDir;
    CheckedDisc() {
        writeCheckDisc(dir, "disc");
        dataDir = dir.str() + "/disc/Setup.exe";
        LoaderJob job{&dataDir, &config, &menuFiles, true, fake.system(), "Setup", nullptr};
        EXPECT_EQ(runLoader(job), LOADER_SUCCESS);
    }
    CheckOutcome check(const std::string& reportName) {
        platform::FilePtr report =
            platform::systemFileSystem().openFile(dir.str() + "/" + reportName, "wb");
        return checkAllMenus(report.get(), menuFiles, fake.system());
    }
    std::string report(const std::string& reportName) { return readFile(dir.path() / reportName); }
};

TEST(CheckAllMenus, WritesTheReportOfTheDisc) {
    CheckedDisc disc;
    CheckOutcome outcome = disc.check("report.txt");
    EXPECT_EQ(disc.report("report.txt"), expectedCheckReport(disc.dataDir));
    EXPECT_FALSE(outcome.foldersPresent);
    EXPECT_FALSE(outcome.allOk);
    EXPECT_TRUE(outcome.completed);
    // Fast enough for no update: only the header texts reach the display.
    auto& events = disc.fake.progress.events;
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front().what, "open");
    EXPECT_EQ(events.front().text, "");  // the standard caption
    EXPECT_EQ(events.front().a, 0);      // with Cancel
    EXPECT_EQ(events.back().what, "close");
    EXPECT_EQ(events[1].text, "Checking menu " + disc.dataDir + "Games\\EPOC.mnu:0...\r\n");
    EXPECT_EQ(events[1].b, 4);
}

TEST(CheckAllMenus, CompleteMenusAreAllOk) {
    ScratchDir dir;
    writeDiscSettings(dir, "");
    dir.write("App/PALM.mnu", crlf({"PALM", "2", "App", "1.0", "-", "MENU 0 1 LIST", "I", "Tool",
                                    "tool", "MENU 1 1 LIST", "QUIT", "Leave", "END"}));
    dir.write("App/PALM/tool.APK", "apk");
    FakeSystem fake;
    SetupConfig config;
    MenuFileList files;
    std::string dataDir = dir.str() + "/";
    LoaderJob job{&dataDir, &config, &files, true, fake.system(), "Setup", nullptr};
    ASSERT_EQ(runLoader(job), LOADER_SUCCESS);
    platform::FilePtr report = platform::systemFileSystem().openFile(dir.str() + "/r.txt", "wb");
    CheckOutcome outcome = checkAllMenus(report.get(), files, fake.system());
    report.reset();
    EXPECT_TRUE(outcome.allOk && outcome.foldersPresent && outcome.completed);
    EXPECT_EQ(readFile(dir.path() / "r.txt"),
              "Checking menu " + dataDir + "App\\PALM.mnu:0...\r\nAll OK.\r\n" + "Checking menu " +
                  dataDir + "App\\PALM.mnu:1...\r\nAll OK.\r\n");
}

// With a clock that moves 600 ms a reading every option is an update; a cancel at the given
// pump ends the report after the header of the menu being checked.
TEST(CheckAllMenus, UpdatesEvery500MsAndStopsOnCancel) {
    struct {
        int cancelAtPump;
        std::size_t reportLines;
        bool completed;
    } cases[] = {{-1, 18, true}, {1, 1, false}, {8, 7, false}};
    for (const auto& c : cases) {
        CheckedDisc disc;
        disc.fake.clock.step = 600;
        disc.fake.progress.cancelAtPump = c.cancelAtPump;
        CheckOutcome outcome = disc.check("report.txt");
        EXPECT_EQ(outcome.completed, c.completed) << c.cancelAtPump;
        std::string expected = expectedCheckReport(disc.dataDir);
        std::size_t end = 0;
        for (std::size_t i = 0; i < c.reportLines; ++i) end = expected.find("\r\n", end) + 2;
        EXPECT_EQ(disc.report("report.txt"), expected.substr(0, end)) << c.cancelAtPump;
        // Position updates name the option about to be checked; the display is closed.
        int positions = 0;
        for (const auto& e : disc.fake.progress.events)
            if (e.what == "pos") ++positions;
        EXPECT_EQ(positions, disc.fake.progress.pumps) << c.cancelAtPump;
        EXPECT_EQ(disc.fake.progress.events.back().what, "close") << c.cancelAtPump;
    }
}

TEST(CheckPath, WebAndMailTargetsAndWhatExists) {
    ScratchDir dir;
    dir.write("pkg/doc.htm", "d");
    std::string folder = dir.str() + "/pkg";
    struct {
        const char* name;
        bool isFolder;
        const char* line;  // "" when nothing is written
    } cases[] = {{"doc.htm", false, ""},
                 {"http://example.com", false, ""},
                 {"mailto://a@example.com", false, ""},
                 {"HTTP://example.com", false, "File %\\HTTP://example.com not found.\r\n"},
                 {"mailto:a@example.com", false, "File %\\mailto:a@example.com not found.\r\n"},
                 {"gone.htm", false, "File %\\gone.htm not found.\r\n"},
                 {"gone", true, "Directory %\\gone not found.\r\n"}};
    for (const auto& c : cases) {
        platform::FilePtr report = platform::systemFileSystem().openFile(dir.str() + "/r", "wb");
        bool ok = true;
        checkPath(ok, report.get(), folder, c.name, c.isFolder, platform::systemFileSystem());
        report.reset();
        std::string line = c.line;
        if (auto at = line.find('%'); at != std::string::npos) line.replace(at, 1, folder);
        EXPECT_EQ(readFile(dir.path() / "r"), line) << c.name;
        EXPECT_EQ(ok, line.empty()) << c.name;
    }
}

}  // namespace
