#include <gtest/gtest.h>

#include <map>

#include "config/setup_config.h"
#include "run/startup.h"
#include "support/path_set_file_system.h"

namespace {

// How the single-instance test looks, by the version the system reports.
TEST(InstanceTestChoice, ByFamilyVersionAndServicePack) {
    using F = WindowsFamily;
    using T = InstanceTest;
    struct Row {
        F family;
        unsigned major;
        const char* servicePack;
        T expected;
    } rows[] = {
        {F::Windows95, 4, "", T::ByProcessSnapshot},
        {F::Windows95, 4, " A ", T::ByProcessSnapshot},
        {F::NT, 3, "", T::Passes},
        {F::NT, 4, "", T::Passes},
        {F::NT, 4, "Service Pack 5", T::Passes},
        {F::NT, 4, "service pack 6", T::ByProcessStatus},  // case does not count
        {F::NT, 4, "Service Pack 6a", T::ByProcessStatus},
        {F::NT, 4, "Service Pack 10", T::Passes},  // text order, as the system's own compare
        {F::NT, 5, "", T::ByProcessStatus},
        {F::NT, 5, "Service Pack 3", T::ByProcessStatus},
        {F::NT, 10, "", T::ByProcessStatus},
        {F::Unknown, 5, "", T::Fails},
    };
    for (const Row& r : rows)
        EXPECT_EQ(chooseInstanceTest(r.family, r.major, r.servicePack), r.expected)
            << static_cast<int>(r.family) << " " << r.major << " '" << r.servicePack << "'";
}

struct FlagCase {
    const char* commandLine;
    bool all, check, preview = false;
};

class CommandLine : public ::testing::TestWithParam<FlagCase> {};

TEST_P(CommandLine, SubstringsAnywhere) {
    CommandLineFlags f = readCommandLine(GetParam().commandLine);
    EXPECT_EQ(f.allPlatforms, GetParam().all) << GetParam().commandLine;
    EXPECT_EQ(f.checkMode, GetParam().check) << GetParam().commandLine;
    EXPECT_EQ(f.previewMode, GetParam().preview) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(Words, CommandLine,
                         ::testing::Values(FlagCase{"\"D:\\Setup.exe\"", false, false},
                                           FlagCase{"\"D:\\Setup.exe\" -all", true, false},
                                           FlagCase{"\"D:\\Setup.exe\" -allx", true, false},
                                           FlagCase{"\"D:\\Setup.exe\" -ALL", false, false},
                                           FlagCase{"\"C:\\disc-check\\Setup.exe\"", false, true},
                                           FlagCase{"Setup.exe -check -all", true, true},
                                           FlagCase{"Setup.exe /all /check", false, false},
                                           FlagCase{"Setup.exe -preview", true, false, true},
                                           FlagCase{"\"E:\\x-previews\\Setup.exe\"", true, false,
                                                    true},
                                           FlagCase{"Setup.exe -PREVIEW", false, false}));

class FakeDrives : public DriveInfo {
public:
    std::uint32_t mask = 0;
    std::map<std::string, bool> cdrom;
    std::uint32_t logicalDrives() override { return mask; }
    bool isCdRom(const std::string& root) override { return cdrom[root]; }
};

struct LocateCase {
    const char* what;
    std::vector<std::string> files;
    std::uint32_t drives;
    std::vector<std::string> cdroms;
    bool found;
    const char* dataDir;
};

class Locate : public ::testing::TestWithParam<LocateCase> {};

TEST_P(Locate, FindsSetupData) {
    const LocateCase& c = GetParam();
    testing_support::PathSetFileSystem fs;
    fs.paths.insert(c.files.begin(), c.files.end());
    FakeDrives drives;
    drives.mask = c.drives;
    for (const auto& r : c.cdroms) drives.cdrom[r] = true;
    std::string dir;
    EXPECT_EQ(locateSetupData("C:\\Soft\\Setup.exe", fs, drives, dir), c.found) << c.what;
    if (c.found) {
        EXPECT_EQ(dir, c.dataDir) << c.what;
    }
}

constexpr std::uint32_t A = 1, C = 4, D = 8, E = 16;

INSTANTIATE_TEST_SUITE_P(
    Places, Locate,
    ::testing::Values(LocateCase{"beside the program",
                                 {"C:\\Soft\\rsc\\rscinfo.ini"},
                                 C | D,
                                 {"d:\\"},
                                 true,
                                 "C:\\Soft\\Setup.exe"},
                      LocateCase{"first CD-ROM holds the program's name",
                                 {"d:\\Setup.exe"},
                                 A | C | D,
                                 {"d:\\"},
                                 true,
                                 "d:\\Setup.exe"},
                      LocateCase{"a later CD-ROM is never looked at",
                                 {"e:\\Setup.exe"},
                                 C | D | E,
                                 {"d:\\", "e:\\"},
                                 false,
                                 ""},
                      LocateCase{"first CD-ROM used even when a later one has data",
                                 {"d:\\Setup.exe", "e:\\Setup.exe"},
                                 C | D | E,
                                 {"d:\\", "e:\\"},
                                 true,
                                 "d:\\Setup.exe"},
                      LocateCase{"a drive absent from the mask is skipped",
                                 {"d:\\Setup.exe", "e:\\Setup.exe"},
                                 C | E,
                                 {"d:\\", "e:\\"},
                                 true,
                                 "e:\\Setup.exe"},
                      LocateCase{"no CD-ROM at all", {"d:\\Setup.exe"}, C | D, {}, false, ""}));

TEST(LocateLimits, ProgramPathOf1024CharactersIsNotFound) {
    testing_support::PathSetFileSystem fs;
    FakeDrives drives;
    std::string path = "C:\\" + std::string(1017, 'x') + ".exe";
    ASSERT_EQ(path.size(), 1024u);
    std::string dir;
    fs.paths.insert(path.substr(0, 3) + "rsc\\rscinfo.ini");
    EXPECT_FALSE(locateSetupData(path, fs, drives, dir));
}

TEST(PathParts, FolderAndExtension) {
    EXPECT_EQ(folderOf("d:\\disc\\Setup.exe"), "d:\\disc\\");
    EXPECT_EQ(folderOf("Setup.exe"), "Setup.exe");
    EXPECT_EQ(withoutExtension("d:\\disc\\Setup.exe"), "d:\\disc\\Setup");
    EXPECT_EQ(withoutExtension("d:\\my.disc\\Setup"), "d:\\my");
}

TEST(WizardRect, CentredOnTheScreenByIntegerHalves) {
    struct {
        int w, h, left, top;
    } cases[] = {{1024, 768, 212, 174},
                 {1023, 767, 211, 173},
                 {600, 420, 0, 0},
                 {599, 419, 0, 0},
                 {598, 418, -1, -1}};
    for (const auto& c : cases) {
        ScreenRect r = centredRect(c.w, c.h, WIZARD_WIDTH, WIZARD_HEIGHT);
        EXPECT_EQ(r.left, c.left) << c.w;
        EXPECT_EQ(r.top, c.top) << c.w;
        EXPECT_EQ(r.right, c.left + 600) << c.w;
        EXPECT_EQ(r.bottom, c.top + 420) << c.w;
    }
}

}  // namespace
