// The registry, process, shell and environment layers against Wine's real ones.
#include <gtest/gtest.h>

#include "actions/installer_finder.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "support/fakes.h"
#include "wine_support.h"

namespace {

using namespace wine_support;
using platform::RegistryRoot;

const char* const TEST_KEY = "SetupTest.Registry";
const char* const APP_PATHS =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

class RegistryLayer : public testing::Test {
protected:
    void SetUp() override { deleteKey(HKEY_CLASSES_ROOT, TEST_KEY); }
    void TearDown() override { deleteKey(HKEY_CLASSES_ROOT, TEST_KEY); }
    platform::Registry& registry = platform::systemRegistry();
};

TEST_F(RegistryLayer, ReadsDefaultValuesWithinTheirBuffer) {
    ASSERT_TRUE(createEmptyKey(HKEY_CLASSES_ROOT, std::string(TEST_KEY) + "\\bare"));
    ASSERT_TRUE(setDefaultValue(HKEY_CLASSES_ROOT, std::string(TEST_KEY) + "\\fits",
                                std::string(255, 'f')));
    ASSERT_TRUE(setDefaultValue(HKEY_CLASSES_ROOT, std::string(TEST_KEY) + "\\long",
                                std::string(256, 'l')));
    struct {
        const char* sub;
        bool opens, reads;
        std::string value;
    } cases[] = {{"\\missing", false, false, ""},
                 {"\\bare", true, true, ""},
                 {"\\fits", true, true, std::string(255, 'f')},
                 {"\\long", true, false, ""}};
    for (const auto& c : cases) {
        auto key = registry.openKey(RegistryRoot::ClassesRoot, TEST_KEY + std::string(c.sub));
        ASSERT_EQ(key != nullptr, c.opens) << c.sub;
        if (!key) continue;
        std::string value = "untouched";
        EXPECT_EQ(key->readDefaultValue(256, value), c.reads) << c.sub;
        if (c.reads) {
            EXPECT_EQ(value, c.value) << c.sub;
        }
    }
}

TEST_F(RegistryLayer, LeadingBackslashUnderClassesRootIsTaken) {
    ASSERT_TRUE(setDefaultValue(HKEY_CLASSES_ROOT, std::string(TEST_KEY) + "\\cmd", "x"));
    auto key = registry.openKey(RegistryRoot::ClassesRoot, "\\" + std::string(TEST_KEY) + "\\cmd");
    ASSERT_NE(key, nullptr);
    std::string value;
    EXPECT_TRUE(key->readDefaultValue(256, value));
    EXPECT_EQ(value, "x");
}

TEST_F(RegistryLayer, PocketPcIsPresentOnlyWithAPath) {
    KeyRestorer restore(HKEY_LOCAL_MACHINE, APP_PATHS);
    actions::InstallerFinder finder(registry);

    deleteKey(HKEY_LOCAL_MACHINE, APP_PATHS);
    EXPECT_FALSE(finder.findPocketPcInstaller());
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, APP_PATHS)) << "the look-up created the key";

    ASSERT_TRUE(createEmptyKey(HKEY_LOCAL_MACHINE, APP_PATHS));
    EXPECT_FALSE(finder.findPocketPcInstaller());
    EXPECT_EQ(finder.pocketPcInstallerPath, "");

    std::string manager = standinDir() + "\\CEAPPMGR.exe";
    ASSERT_TRUE(setDefaultValue(HKEY_LOCAL_MACHINE, APP_PATHS, manager));
    EXPECT_TRUE(finder.findPocketPcInstaller());
    EXPECT_EQ(finder.pocketPcInstallerPath, manager);
}

TEST(RegisteredStandins, EveryPlatformIsFound) {
    actions::InstallerFinder finder(platform::systemRegistry());
    bool present[4] = {};
    EXPECT_TRUE(actions::detectInstallers(false, present, finder));
    EXPECT_TRUE(present[0] && present[1] && present[2] && present[3]);
    std::string dir = standinDir();
    EXPECT_EQ(finder.psionInstallerCommand, dir + "\\EPOC Install.exe");
    EXPECT_EQ(finder.nokiaInstallerCommand, dir + "\\EPOC Install.exe");
    EXPECT_EQ(finder.pocketPcInstallerPath, dir + "\\CEAPPMGR.exe");
    EXPECT_EQ(finder.palmInstallerCommand, dir + "\\Palm Install.exe");
}

class ProcessLayer : public testing::Test {
protected:
    testing_support::ScratchDir scratch;
    platform::ProcessRunner& runner = platform::systemProcessRunner();
};

TEST_F(ProcessLayer, WatchesAProcessUntilItEnds) {
    StandinLog log(scratch.str());
    std::string hold = scratch.str() + "\\release";
    ::SetEnvironmentVariableA("STANDIN_HOLD", hold.c_str());
    ::SetEnvironmentVariableA("STANDIN_EXIT", "7");
    std::uint32_t error = 0;
    auto process = runner.start("\"" + standinDir() + "\\EPOC Install.exe\" a \"b c\"", error);
    ::SetEnvironmentVariableA("STANDIN_HOLD", nullptr);
    ::SetEnvironmentVariableA("STANDIN_EXIT", nullptr);
    ASSERT_NE(process, nullptr) << error;
    ASSERT_TRUE(log.waitForRecords(1));
    std::uint32_t code = 0;
    ASSERT_TRUE(process->exitCode(code));
    EXPECT_EQ(code, platform::STILL_ACTIVE_CODE);
    EXPECT_NE(log.read().find("arg=a\r\narg=b c\r\n"), std::string::npos) << log.read();
    ASSERT_TRUE(writeFileText(hold, ""));
    EXPECT_TRUE(
        waitUntil([&] { return process->exitCode(code) && code != platform::STILL_ACTIVE_CODE; }));
    EXPECT_EQ(code, 7u);
}

TEST_F(ProcessLayer, ReportsTheErrorOfAFailedStart) {
    std::uint32_t error = 0;
    EXPECT_EQ(runner.start(scratch.str() + "\\missing.exe", error), nullptr);
    EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(EnvironmentLayer, ExpandsTmpWithinItsBuffer) {
    char tmp[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
    ASSERT_GT(n, 0u);
    std::string out;
    EXPECT_TRUE(platform::systemEnvironment().expand("%TMP%", 260, out));
    EXPECT_EQ(out, std::string(tmp, n));
    EXPECT_FALSE(platform::systemEnvironment().expand("%TMP%", n, out)) << "no room for the NUL";
}

TEST(ShellLayer, VersionOfLibraries) {
    platform::Shell& shell = platform::systemShell();
    EXPECT_GE(shell.getShellLibraryVersion("shlwapi.dll"), 0x50000u);
    EXPECT_EQ(shell.getShellLibraryVersion("kernel32.dll"), 0u) << "no DllGetVersion";
    EXPECT_EQ(shell.getShellLibraryVersion("no-such-library.dll"), 0u);
}

TEST(ShellLayer, CanonicalisationEscapesOnlyBlanks) {
    platform::Shell& shell = platform::systemShell();
    std::string out;
    std::string url = "http://host/a b/c<d>.html";
    ASSERT_TRUE(shell.canonicalizeUrl(url, url.size() * 2, 0x06000000, out));
    EXPECT_EQ(out, "http://host/a%20b/c<d>.html");
    EXPECT_FALSE(shell.canonicalizeUrl("http://a b", 4, 0x06000000, out)) << "buffer too small";
}

}  // namespace
