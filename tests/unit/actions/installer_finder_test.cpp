#include <gtest/gtest.h>

#include <algorithm>

#include "actions/installer_finder.h"
#include "support/action_fakes.h"

namespace {

using actions::InstallerFinder;
using platform::RegistryRoot;
using testing_support::FakeRegistry;

const char* const APP_PATHS =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
const char* const PALM_COMMAND = "Software\\Classes\\prcFile\\shell\\open\\command";

struct Key {
    RegistryRoot root;
    std::string path;
    std::optional<std::string> value = std::nullopt;
};

struct DetectCase {
    const char* name;
    std::vector<Key> keys;
    bool present[4];
    std::string psion, nokia, pocketPc, palm;
};

class DetectInstallers : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectInstallers, FindsWhatIsRegistered) {
    const DetectCase& c = GetParam();
    FakeRegistry registry;
    for (const Key& k : c.keys) registry.addKey(k.root, k.path, k.value);
    InstallerFinder finder(registry);
    bool present[4] = {true, true, true, true};
    bool any = actions::detectInstallers(false, present, finder);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(present[i], c.present[i]) << "platform " << i;
    EXPECT_EQ(any, c.present[0] || c.present[1] || c.present[2] || c.present[3]);
    EXPECT_EQ(finder.psionInstallerCommand, c.psion);
    EXPECT_EQ(finder.nokiaInstallerCommand, c.nokia);
    EXPECT_EQ(finder.pocketPcInstallerPath, c.pocketPc);
    EXPECT_EQ(finder.palmInstallerCommand, c.palm);
}

const RegistryRoot CR = RegistryRoot::ClassesRoot;
const RegistryRoot LM = RegistryRoot::LocalMachine;

INSTANTIATE_TEST_SUITE_P(
    Registrations, DetectInstallers,
    testing::Values(
        DetectCase{"nothing", {}, {false, false, false, false}, "", "", "", ""},
        DetectCase{"psiSetupOnlyEpoc",
                   {{CR, ".SIS", "PsiSetup.File.1"},
                    {CR, "PsiSetup.File.1\\shell\\open\\command",
                     "\"C:\\Psion Win\\Install.exe\" \"%1\""}},
                   {true, false, false, false},
                   "C:\\Psion Win\\Install.exe",
                   "",
                   "",
                   ""},
        DetectCase{"epocInstallBoth",
                   {{CR, ".SIS", "EPOCInstall.File.1"},
                    {CR, "EPOCInstall.File.1\\shell\\open\\command", "\"C:\\Sis\\inst.exe\" %1"}},
                   {true, true, false, false},
                   "C:\\Sis\\inst.exe",
                   "C:\\Sis\\inst.exe",
                   "",
                   ""},
        DetectCase{"otherVersionOnlyNokia",
                   {{CR, ".SIS", "epocinstall.file.2"},
                    {CR, "epocinstall.file.2\\shell\\open\\command", "C:\\N\\i.exe %1"}},
                   {false, true, false, false},
                   "",
                   "C:\\N\\i.exe %1",
                   "",
                   ""},
        DetectCase{"unknownIdentifier",
                   {{CR, ".SIS", "SisFile"}, {CR, "SisFile\\shell\\open\\command", "x.exe"}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"machineClassesOnlyForPsion",
                   {{LM, "Software\\Classes\\.SIS", "EPOCInstall.File.1"},
                    {LM, "Software\\Classes\\EPOCInstall.File.1\\shell\\open\\command",
                     "\"C:\\M\\i.exe\""}},
                   {true, false, false, false},
                   "C:\\M\\i.exe",
                   "",
                   "",
                   ""},
        DetectCase{"missingOpenCommand",
                   {{CR, ".SIS", "EPOCInstall.File.1"}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"openQuoteWithoutClose",
                   {{CR, ".SIS", "PsiSetup.File.1"},
                    {CR, "PsiSetup.File.1\\shell\\open\\command", "\"C:\\P\\i.exe %1"}},
                   {true, false, false, false},
                   "C:\\P\\i.exe %1",
                   "",
                   "",
                   ""},
        DetectCase{"commandTooLongForBuffer",
                   {{CR, ".SIS", "PsiSetup.File.1"},
                    {CR, "PsiSetup.File.1\\shell\\open\\command", std::string(256, 'a')}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"commandFillingBuffer",
                   {{CR, ".SIS", "PsiSetup.File.1"},
                    {CR, "PsiSetup.File.1\\shell\\open\\command", std::string(255, 'a')}},
                   {true, false, false, false},
                   std::string(255, 'a'),
                   "",
                   "",
                   ""},
        DetectCase{"pocketPcKeyWithoutValue",
                   {{LM, APP_PATHS}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"pocketPcEmptyValue",
                   {{LM, APP_PATHS, ""}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"pocketPcPath",
                   {{LM, APP_PATHS, "C:\\Program Files\\ActiveSync\\CEAPPMGR.EXE"}},
                   {false, false, true, false},
                   "",
                   "",
                   "C:\\Program Files\\ActiveSync\\CEAPPMGR.EXE",
                   ""},
        DetectCase{"pocketPcPathFillingBuffer",
                   {{LM, APP_PATHS, std::string(259, 'p')}},
                   {false, false, true, false},
                   "",
                   "",
                   std::string(259, 'p'),
                   ""},
        DetectCase{"pocketPcPathTooLong",
                   {{LM, APP_PATHS, std::string(260, 'p')}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"palmArgumentCut",
                   {{CR, ".PRC"}, {LM, PALM_COMMAND, "C:\\Palm\\Instapp.exe %1"}},
                   {false, false, false, true},
                   "",
                   "",
                   "",
                   "C:\\Palm\\Instapp.exe"},
        DetectCase{"palmQuotedArgumentKept",
                   {{CR, ".PRC"}, {LM, PALM_COMMAND, "C:\\Palm\\Instapp.exe \"%1\""}},
                   {false, false, false, true},
                   "",
                   "",
                   "",
                   "C:\\Palm\\Instapp.exe \"%1\""},
        DetectCase{"palmArgumentAtStartKept",
                   {{CR, ".PRC"}, {LM, PALM_COMMAND, " %1"}},
                   {false, false, false, true},
                   "",
                   "",
                   "",
                   " %1"},
        DetectCase{"palmWithoutPrcKey",
                   {{LM, PALM_COMMAND, "C:\\Palm\\Instapp.exe %1"}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""},
        DetectCase{"palmPrcKeyOnly",
                   {{CR, ".PRC", "prcFile"}},
                   {false, false, false, false},
                   "",
                   "",
                   "",
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DetectInstallersAll, EveryPlatformCountsAndOnlyNokiaIsLookedUp) {
    FakeRegistry registry;
    registry.addKey(CR, ".SIS", "EPOCInstall.File.1");
    registry.addKey(CR, "EPOCInstall.File.1\\shell\\open\\command", "\"C:\\S\\i.exe\" \"%1\"");
    InstallerFinder finder(registry);
    bool present[4] = {};
    EXPECT_TRUE(actions::detectInstallers(true, present, finder));
    EXPECT_TRUE(present[0] && present[1] && present[2] && present[3]);
    EXPECT_EQ(finder.nokiaInstallerCommand, "C:\\S\\i.exe");
    EXPECT_EQ(finder.psionInstallerCommand, "");
    std::vector<std::string> expected = {"HKCR\\.SIS",
                                         "HKCR\\EPOCInstall.File.1\\shell\\open\\command"};
    EXPECT_EQ(registry.opened, expected);
}

TEST(PocketPcLookUp, LeavesAnEarlierPathAloneWhenTheValueIsEmpty) {
    FakeRegistry registry;
    registry.addKey(LM, APP_PATHS, "");
    InstallerFinder finder(registry);
    finder.pocketPcInstallerPath = "C:\\old\\ceappmgr.exe";
    EXPECT_FALSE(finder.findPocketPcInstaller());
    EXPECT_EQ(finder.pocketPcInstallerPath, "C:\\old\\ceappmgr.exe");
}

TEST(UnquoteCommand, Cases) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"\"C:\\a b\\x.exe\" \"%1\"", "C:\\a b\\x.exe"},
        {"C:\\a\\x.exe \"%1\"", "C:\\a\\x.exe \"%1\""},
        {"\"C:\\a\\x.exe", "C:\\a\\x.exe"},
        {"\"\"", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(actions::unquoteCommand(c.in), c.out) << c.in;
}

}  // namespace
