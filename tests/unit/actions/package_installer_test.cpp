#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "actions/install_command.h"
#include "actions/package_installer.h"
#include "support/action_fakes.h"
#include "support/fakes.h"

namespace {

namespace fs = std::filesystem;
using actions::PackageInstaller;
using platform::RegistryRoot;
using testing_support::FakeActionServices;
using testing_support::FakeSystem;
using testing_support::ScratchDir;

// The file system of the core takes backslashes; std::filesystem here needs the native form.
fs::path native(std::string p) {
#ifndef _WIN32
    for (char& c : p)
        if (c == '\\') c = '/';
#endif
    return fs::path(p);
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

class Installing : public testing::Test {
protected:
    void SetUp() override {
        temp = scratch.str() + "\\my temp";
        fs::create_directories(native(temp));
        fake.environment.variables["TMP"] = temp;
        // Packages unpack to the files listed in contents.
        fake.extractor = [this](const std::string&, const std::string& destination) {
            for (const auto& [name, data] : contents) {
                fs::path p = native(destination + "\\" + name);
                fs::create_directories(p.parent_path());
                std::ofstream(p) << data;
            }
            return extractResult;
        };
        services = fake.services(sys.system());
        finder.psionInstallerCommand = "C:\\Psion\\inst.exe";
        finder.nokiaInstallerCommand = "C:\\Nokia\\inst.exe";
        finder.pocketPcInstallerPath = "C:\\Sync\\CEAPPMGR.EXE";
        finder.palmInstallerCommand = "C:\\Palm\\instapp.exe";
    }
    std::string base(const std::string& name = "app") { return scratch.str() + "\\disc\\" + name; }
    void makePackage(const std::string& name = "app") {
        scratch.write("disc/" + name + ".APK", "x");
    }
    bool tempIsEmpty() { return fs::is_empty(native(temp)); }
    std::vector<std::string> messages() {
        std::vector<std::string> m;
        for (const auto& r : sys.messages.messages) m.push_back(r.text);
        return m;
    }

    ScratchDir scratch;
    std::string temp;
    FakeSystem sys;
    FakeActionServices fake;
    actions::ActionServices services{};
    testing_support::FakeRegistry emptyRegistry;
    actions::InstallerFinder finder{emptyRegistry};
    std::map<std::string, std::string> contents;
    int extractResult = 0;
};

TEST_F(Installing, PlainFilesGoToTheInstallerByTheirBasePath) {
    PackageInstaller installer(services, finder, "Setup");
    scratch.write("disc/app/a.prc", "1");
    EXPECT_TRUE(installer.installPsionPackage(base()));
    EXPECT_TRUE(installer.installNokiaPackage(base()));
    EXPECT_TRUE(installer.installPocketPcPackage(base()));
    EXPECT_TRUE(installer.installPalmPackage(base()));
    std::vector<std::string> expected = {
        "C:\\Psion\\inst.exe " + base() + ".sis",
        "C:\\Nokia\\inst.exe " + base() + ".sis",
        "C:\\Sync\\CEAPPMGR.EXE " + base() + ".ini",
        "C:\\Palm\\instapp.exe " + base() + "\\a.prc ",
    };
    EXPECT_EQ(fake.processes.commandLines, expected);
    EXPECT_TRUE(fake.extractions.empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(Installing, EachPlatformTakesItsFileFromTheUnpackedPackage) {
    contents = {{"top.sis", "e"}, {"n9210\\nokia.sis", "n"}, {"device.ini", "p"}};
    makePackage();
    struct Case {
        bool (PackageInstaller::*install)(const std::string&);
        std::string program, file;
    } cases[] = {
        {&PackageInstaller::installPsionPackage, "C:\\Psion\\inst.exe", "top.sis"},
        {&PackageInstaller::installNokiaPackage, "C:\\Nokia\\inst.exe", "n9210\\nokia.sis"},
        {&PackageInstaller::installPocketPcPackage, "C:\\Sync\\CEAPPMGR.EXE", "device.ini"},
    };
    for (const Case& c : cases) {
        fake.processes.commandLines.clear();
        fake.extractions.clear();
        PackageInstaller installer(services, finder, "Setup");
        EXPECT_TRUE((installer.*c.install)(base()));
        ASSERT_EQ(fake.extractions.size(), 1u);
        EXPECT_EQ(fake.extractions[0].first, base() + ".APK");
        const std::string& folder = fake.extractions[0].second;
        EXPECT_EQ(folder, temp + "\\Setup-000003E8\\app") << "package name kept";
        ASSERT_EQ(fake.processes.commandLines.size(), 1u);
        // The temporary folder holds a blank, so the file is quoted.
        EXPECT_EQ(fake.processes.commandLines[0], c.program + " " + quoted(folder + "\\" + c.file));
        EXPECT_TRUE(tempIsEmpty()) << "temporary folder removed";
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(Installing, PalmListsTheFilesOfThePalmFolderButNotItsSubFolders) {
    contents = {{"palm\\one.prc", "1"}, {"palm\\two.pdb", "22"}, {"palm\\sub\\three.prc", "3"}};
    makePackage();
    PackageInstaller installer(services, finder, "Setup");
    EXPECT_TRUE(installer.installPalmPackage(base()));
    ASSERT_EQ(fake.processes.commandLines.size(), 1u);
    std::string folder = fake.extractions.at(0).second + "\\palm\\";
    const std::string& line = fake.processes.commandLines[0];
    std::string a = quoted(folder + "one.prc") + " ", b = quoted(folder + "two.pdb") + " ";
    // Listing order is the file system's.
    EXPECT_TRUE(line == "C:\\Palm\\instapp.exe " + a + b ||
                line == "C:\\Palm\\instapp.exe " + b + a)
        << line;
    EXPECT_EQ(fake.processes.sleeps, std::vector<std::uint32_t>{}) << "ended at once";
    EXPECT_TRUE(tempIsEmpty());
}

TEST_F(Installing, EmptyPalmFolderIsAnUndefinedOption) {
    contents = {{"palm\\sub\\x.prc", "1"}};
    makePackage();
    PackageInstaller installer(services, finder, "Setup");
    EXPECT_FALSE(installer.installPalmPackage(base()));
    ASSERT_EQ(messages(), std::vector<std::string>{"Installation option is undefined!"});
    EXPECT_EQ(sys.messages.messages[0].caption, "Setup");
    EXPECT_EQ(sys.messages.messages[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(fake.processes.commandLines.empty());
    EXPECT_TRUE(tempIsEmpty());
}

TEST_F(Installing, PackageWithoutThePlatformsFiles) {
    contents = {{"readme.txt", "r"}, {"palm\\x.prc", "1"}};
    makePackage();
    struct Case {
        bool (PackageInstaller::*install)(const std::string&);
        const char* message;
    } cases[] = {
        {&PackageInstaller::installPsionPackage, "Could not find any Psion files!"},
        {&PackageInstaller::installNokiaPackage, "Could not find any NOKIA files!"},
        {&PackageInstaller::installPocketPcPackage, "Could not find any Pocket PC files!"},
    };
    for (const Case& c : cases) {
        sys.messages.messages.clear();
        PackageInstaller installer(services, finder, "Setup");
        EXPECT_FALSE((installer.*c.install)(base()));
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_TRUE(tempIsEmpty());
    }
    EXPECT_TRUE(fake.processes.commandLines.empty());
}

TEST_F(Installing, MissingInstallerIsLookedUpAndReported) {
    finder.psionInstallerCommand.clear();
    finder.nokiaInstallerCommand.clear();
    finder.pocketPcInstallerPath.clear();
    finder.palmInstallerCommand.clear();
    PackageInstaller installer(services, finder, "Setup");
    const char* expected[] = {
        "Could not locate the Psion Installer!", "Could not locate the Nokia Installer!",
        "Could not locate the Pocket PC Installer!", "Could not locate the Palm Installer!"};
    for (int p = 0; p < 4; ++p) {
        sys.messages.messages.clear();
        EXPECT_FALSE(installer.installForPlatform(p, base()));
        EXPECT_EQ(messages(), std::vector<std::string>{expected[p]});
    }
    EXPECT_FALSE(emptyRegistry.opened.empty()) << "the look-ups ran";
    EXPECT_TRUE(fake.processes.commandLines.empty());
}

TEST_F(Installing, InstallerFoundAtInstallTime) {
    emptyRegistry.addKey(RegistryRoot::ClassesRoot, ".PRC");
    emptyRegistry.addKey(RegistryRoot::LocalMachine,
                         "Software\\Classes\\prcFile\\shell\\open\\command",
                         "C:\\Palm Desktop\\Instapp.exe %1");
    finder.palmInstallerCommand.clear();
    scratch.write("disc/app/a.prc", "1");
    PackageInstaller installer(services, finder, "Setup");
    EXPECT_TRUE(installer.installPalmPackage(base()));
    EXPECT_EQ(fake.processes.commandLines,
              std::vector<std::string>{"\"C:\\Palm Desktop\\Instapp.exe\" " + base() + "\\a.prc "});
}

TEST_F(Installing, UnpackFailureRemovesTheTemporaryFolder) {
    extractResult = -4;
    contents = {{"half.sis", "h"}};
    makePackage();
    PackageInstaller installer(services, finder, "Setup");
    EXPECT_FALSE(installer.installPsionPackage(base()));
    EXPECT_EQ(messages(), std::vector<std::string>{"Could not unpack APK file!"});
    EXPECT_TRUE(tempIsEmpty());
    EXPECT_TRUE(fake.processes.commandLines.empty());
}

TEST_F(Installing, FoldersOfOthersInTheTemporaryFolderSurvive) {
    scratch.write("my temp/app/keep.txt", "mine");
    scratch.write("my temp/Setup-000003E8/other.txt", "theirs");
    contents = {{"top.sis", "e"}};
    makePackage();
    PackageInstaller installer(services, finder, "Setup");
    EXPECT_TRUE(installer.installPsionPackage(base()));
    EXPECT_EQ(fake.extractions.at(0).second, temp + "\\Setup-000003E9\\app");
    EXPECT_EQ(testing_support::readFile(native(temp + "\\app\\keep.txt")), "mine");
    EXPECT_EQ(testing_support::readFile(native(temp + "\\Setup-000003E8\\other.txt")), "theirs");
    EXPECT_FALSE(fs::exists(native(temp + "\\Setup-000003E9")));
}

TEST_F(Installing, NoTemporaryFolderNoUnpacking) {
    makePackage();
    struct {
        const char* name;
        std::map<std::string, std::string> variables;
    } cases[] = {{"unset", {}},
                 {"missingFolder", {{"TMP", temp + "\\gone"}}},
                 {"tooLong", {{"TMP", std::string(300, 'x')}}}};
    for (const auto& c : cases) {
        fake.environment.variables = c.variables;
        PackageInstaller installer(services, finder, "Setup");
        std::string folder;
        EXPECT_FALSE(installer.unpackPackage(base(), folder)) << c.name;
        EXPECT_TRUE(fake.extractions.empty()) << c.name;
    }
}

TEST_F(Installing, FolderGivenByTheCallerIsNeverRemoved) {
    contents = {{"rsc\\rscinfo.ini", "i"}};
    std::string target = scratch.str() + "\\program";
    fs::create_directories(native(target));
    scratch.write("program/own.txt", "own");
    PackageInstaller installer(services, finder, "Setup");
    std::string folder = target;
    EXPECT_TRUE(installer.unpackPackage(base(), folder));
    EXPECT_EQ(folder, target);
    EXPECT_EQ(installer.unpackFolder(), target);
    installer.removeUnpackFolder();
    extractResult = -2;
    EXPECT_FALSE(installer.unpackPackage(base(), folder));
    EXPECT_TRUE(fs::exists(native(target + "\\rscinfo.ini").parent_path() / "own.txt"));
    EXPECT_TRUE(fs::exists(native(target + "\\rsc\\rscinfo.ini")));
}

TEST_F(Installing, StartFailureIsReportedAndOnlyPalmFails) {
    scratch.write("disc/app/a.prc", "1");
    PackageInstaller installer(services, finder, "Setup");
    for (int p = 0; p < 4; ++p) {
        fake.processes.scripts.push_back({false, 2, 0, -1});
        sys.messages.messages.clear();
        EXPECT_EQ(installer.installForPlatform(p, base()), p != 3) << "platform " << p;
        EXPECT_EQ(messages(), std::vector<std::string>{
                                  "Could not start installation process.\nError returned:2"});
    }
}

struct WaitCase {
    const char* name;
    int platform;
    int activePolls;
    int readable;
    int cancelAfterSleeps;  // 0: never
    std::size_t sleeps;
    std::uint32_t interval;
};

class Waiting : public Installing, public testing::WithParamInterface<WaitCase> {};

TEST_P(Waiting, PollsUntilTheInstallerEndsOrTheUserGivesUp) {
    const WaitCase& c = GetParam();
    scratch.write("disc/app/a.prc", "1");
    fake.processes.scripts.push_back({true, 0, c.activePolls, c.readable});
    bool cancelled = false;
    fake.processes.onSleep = [&] {
        if (c.cancelAfterSleeps && fake.processes.sleeps.size() == std::size_t(c.cancelAfterSleeps))
            cancelled = true;
    };
    PackageInstaller installer(services, finder, "Setup");
    installer.setCancelCheck([&] { return cancelled; });
    EXPECT_TRUE(installer.installForPlatform(c.platform, base()));
    EXPECT_EQ(fake.processes.sleeps, std::vector<std::uint32_t>(c.sleeps, c.interval));
}

INSTANTIATE_TEST_SUITE_P(Polls, Waiting,
                         testing::Values(WaitCase{"epocRunsThreePolls", 0, 3, -1, 0, 3, 500},
                                         WaitCase{"palmPollsFaster", 3, 4, -1, 0, 4, 100},
                                         WaitCase{"cancelEndsTheWait", 2, 50, -1, 2, 2, 500},
                                         WaitCase{"unreadableExitCodeEndsTheWait", 1, 50, 3, 0, 3,
                                                  500},
                                         WaitCase{"endedBeforeFirstPoll", 0, 0, -1, 0, 0, 500}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Installing, CancelDuringTheWaitStillRemovesTheTemporaryFolder) {
    contents = {{"top.sis", "e"}};
    makePackage();
    fake.processes.scripts.push_back({true, 0, 1000, -1});
    PackageInstaller installer(services, finder, "Setup");
    installer.setCancelCheck([&] { return fake.processes.sleeps.size() >= 1; });
    EXPECT_TRUE(installer.installPsionPackage(base()));
    EXPECT_EQ(fake.processes.sleeps.size(), 1u);
    EXPECT_TRUE(tempIsEmpty());
}

TEST_F(Installing, CheckPackageFilesReportsWhatIsMissing) {
    scratch.write("disc/pkg/palm1/x.prc", "1");
    scratch.write("disc/pkg/both.sis", "s");
    scratch.write("disc/pkg/packed.APK", "a");
    std::string folder = scratch.str() + "\\disc\\pkg";
    struct {
        const char* name;
        const char* pattern;
        bool reported;
    } cases[] = {{"palm1", "\\*.*", false},
                 {"palm2", "\\*.*", true},
                 {"both", ".sis", false},
                 {"packed", ".ini", false},
                 {"none", ".ini", true}};
    for (const auto& c : cases) {
        PackageInstaller installer(services, finder, "Setup");
        fs::path reportPath = scratch.path() / "report.txt";
        std::FILE* report = std::fopen(reportPath.string().c_str(), "wb");
        bool ok = true;
        installer.checkPackageFiles(ok, report, folder, c.name, c.pattern);
        std::fclose(report);
        std::string expected = c.reported
                                   ? std::string("Neither files ") + c.name + c.pattern + " nor " +
                                         c.name + ".apk in " + folder + " not found.\r\n"
                                   : "";
        EXPECT_EQ(testing_support::readFile(reportPath), expected) << c.name;
        EXPECT_EQ(ok, !c.reported) << c.name;
    }
}

TEST(DeleteFolderTree, RemovesNestedFoldersAndFiles) {
    ScratchDir scratch;
    scratch.write("tree/a.txt", "a");
    scratch.write("tree/sub/b.txt", "b");
    scratch.write("tree/sub/deeper/c.txt", "c");
    scratch.write("keep.txt", "k");
    EXPECT_TRUE(actions::deleteFolderTree(platform::systemFileSystem(), scratch.str() + "\\tree"));
    EXPECT_FALSE(fs::exists(scratch.path() / "tree"));
    EXPECT_TRUE(fs::exists(scratch.path() / "keep.txt"));
    EXPECT_FALSE(actions::deleteFolderTree(platform::systemFileSystem(), scratch.str() + "\\tree"));
}

TEST(QuoteProgram, OnlyTheProgramPartIsQuoted) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\Psion\\inst.exe", "C:\\Psion\\inst.exe"},
        {"C:\\Program Files\\Psion\\inst.exe", "\"C:\\Program Files\\Psion\\inst.exe\""},
        {"C:\\Program Files\\Psion\\INST.EXE %1", "\"C:\\Program Files\\Psion\\INST.EXE\" %1"},
        {"\"C:\\Program Files\\Palm\\instapp.exe\"", "\"C:\\Program Files\\Palm\\instapp.exe\""},
        {"C:\\Palm\\instapp.exe \"%1\"", "C:\\Palm\\instapp.exe \"%1\""},
        {"C:\\a.exedir x\\i.exe", "\"C:\\a.exedir x\\i.exe\""},
        {"C:\\Tools\\install it.com", "\"C:\\Tools\\install it.com\""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(actions::quoteProgram(c.in), c.out) << c.in;
}

}  // namespace
