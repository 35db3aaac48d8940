// The loader's work on generated discs: which folders are found, what is parsed and how.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>

#include "run/loader.h"
#include "config/setup_config.h"
#include "support/failing_file_system.h"
#include "support/test_disc.h"

namespace {

using namespace testing_support;

const std::string BAD_MENU_1 = crlf({"PALM", "2", "App", "1.0", "-", "MENU 0 1 LIST", "QUIT",
                                     "Leave", "MENU 1 1 LIST", "BOGUS", "END"});
const std::string GOOD_PALM =
    crlf({"PALM", "1", "App", "1.0", "-", "MENU 0 1 LIST", "QUIT", "Leave", "END"});
const char* const SETUP_FAILED = "Error.\nSetup instructions not found.\nCannot run Setup.";

struct LoaderCase {
    const char* what;
    bool settings;
    std::map<std::string, std::string> files;
    bool checkMode;
    int result;
    // Folder names per platform, sorted (the folder search has no order of its own).
    std::vector<std::vector<std::string>> folders;
    std::vector<std::string> messages;
};

class Loader : public ::testing::TestWithParam<LoaderCase> {};

TEST_P(Loader, LoadsTheDisc) {
    const LoaderCase& c = GetParam();
    ScratchDir dir;
    if (c.settings) writeDiscSettings(dir, "");
    for (const auto& [path, content] : c.files) dir.write(path, content);

    FakeSystem fake;
    SetupConfig config;
    MenuFileList menuFiles;
    // The loader starts from the program's path.
    std::string dataDir = dir.str() + "/Setup.exe";
    LoaderJob job{&dataDir, &config, &menuFiles, c.checkMode, fake.system(), "Setup", nullptr};
    EXPECT_EQ(runLoader(job), c.result) << c.what;
    EXPECT_EQ(dataDir, dir.str() + "/") << c.what;

    for (int p = 0; p < PLATFORM_COUNT; ++p) {
        std::vector<std::string> got = config.platformFolders[p];
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, c.folders[p]) << c.what << " platform " << platformTable[p].name;
    }
    std::vector<std::string> texts;
    for (const auto& m : fake.messages.messages) texts.push_back(m.text);
    EXPECT_EQ(texts, c.messages) << c.what;
    if (c.result != LOADER_SUCCESS) return;

    // One file per (platform, folder) pair, by platform and then in list order; heads only
    // unless in check mode.
    std::size_t n = 0;
    for (int p = 0; p < PLATFORM_COUNT; ++p) {
        for (const std::string& folder : config.platformFolders[p]) {
            ASSERT_LT(n, menuFiles.size()) << c.what;
            const Menu& head = menuFiles[n++]->first();
            EXPECT_EQ(std::string(head.directory), dataDir + folder) << c.what;
            EXPECT_STREQ(head.platformName, platformTable[p].name) << c.what;
            EXPECT_EQ(head.options != nullptr, c.checkMode) << c.what;
        }
    }
    EXPECT_EQ(n, menuFiles.size()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Discs, Loader,
    ::testing::Values(
        LoaderCase{
            "noProductFolders", true, {{"Docs/readme.txt", "x"}}, false, 1, {{}, {}, {}, {}}, {}},
        LoaderCase{"fourPlatformsInTwoFolders",
                   true,
                   {{"Games/EPOC.mnu",
                     crlf({"EPOC", "1", "G", "1", "-", "MENU 0 1 LIST", "QUIT", "Leave", "END"})},
                    {"Games/PALM.mnu", GOOD_PALM},
                    {"Office/palm.mnu", GOOD_PALM},
                    {"Office/N9210.MNU",
                     crlf({"N9210", "1", "O", "1", "-", "MENU 0 1 LIST", "QUIT", "Leave", "END"})},
                    {"Office/notes.txt", "x"}},
                   true,
                   1,
                   {{"Games"}, {"Office"}, {}, {"Games", "Office"}},
                   {}},
        LoaderCase{"scriptsOnlyOneLevelDeep",
                   true,
                   {{"PALM.mnu", GOOD_PALM}, {"Deep/More/PALM.mnu", GOOD_PALM}},
                   false,
                   1,
                   {{}, {}, {}, {}},
                   {}},
        LoaderCase{"headsDoNotSeeALaterMenu",
                   true,
                   {{"App/PALM.mnu", BAD_MENU_1}},
                   false,
                   1,
                   {{}, {}, {}, {"App"}},
                   {}},
        LoaderCase{"checkModeParsesAllOfIt",
                   true,
                   {{"App/PALM.mnu", BAD_MENU_1}},
                   true,
                   3,
                   {{}, {}, {}, {"App"}},
                   {"Unknown menu keyword", SETUP_FAILED}},
        LoaderCase{"deviceLineMustBeInCapitals",
                   true,
                   {{"App/palm.mnu", crlf({"palm", "1", "App", "1.0", "-", "MENU 0 1 LIST", "QUIT",
                                           "Leave", "END"})}},
                   false,
                   3,
                   {{}, {}, {}, {"App"}},
                   {"Wrong device name specified", SETUP_FAILED}},
        LoaderCase{"settingsMissingFailsSilently",
                   false,
                   {{"App/PALM.mnu", GOOD_PALM}},
                   false,
                   3,
                   {{}, {}, {}, {"App"}},
                   {}}),
    [](const auto& info) { return std::string(info.param.what); });

// Out of memory where the loader has no test of its own: in the folder search and in the
// settings' pictures. It is a failure like any other, reported and not thrown.
class ThrowingSkins : public SkinLoader {
public:
    std::unique_ptr<SkinBitmap> loadFromFile(const std::string&) override {
        throw std::bad_alloc();
    }
    std::unique_ptr<SkinBitmap> loadFromResource(const std::string&) override {
        throw std::bad_alloc();
    }
};

class ThrowingSearch : public FailingFileSystem {
public:
    using FailingFileSystem::FailingFileSystem;
    std::unique_ptr<platform::FileFinder> findFirst(const std::string&) override {
        throw std::bad_alloc();
    }
};

TEST(LoaderThrow, IsAFailure) {
    ScratchDir dir;
    writeDiscSettings(dir, "");
    dir.write("App/PALM.mnu", GOOD_PALM);
    for (bool inSearch : {true, false}) {
        FakeSystem fake;
        ThrowingSearch search(platform::systemFileSystem());
        ThrowingSkins skins;
        SetupConfig config;
        if (!inSearch) config.setSkinLoader(&skins);
        platform::System system = fake.system();
        if (inSearch) system.fs = &search;
        MenuFileList menuFiles;
        std::string dataDir = dir.str() + "/Setup.exe";
        LoaderJob job{&dataDir, &config, &menuFiles, false, system, "Setup", nullptr};
        int result = 0;
        EXPECT_NO_THROW(result = runLoader(job)) << inSearch;
        EXPECT_EQ(result, LOADER_FAILURE) << inSearch;
        EXPECT_TRUE(fake.messages.messages.empty()) << inSearch;
    }
}

}  // namespace
