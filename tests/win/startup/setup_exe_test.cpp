// Setup.exe started for real on small discs, watched and answered from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "archive/archive_writer.h"
#include "support/fakes.h"
#include "support/test_disc.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;

const char* const APP_PATHS_KEY =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

bool keyExists(HKEY root, const char* path) {
    HKEY key;
    if (::RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

// A disc folder with Setup.exe and a settings file whose texts name their numbers.
struct Disc {
    ScratchDir dir;
    Disc() {
        writeDiscSettings(dir, "");
        std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "Setup.exe");
    }
    std::string exe() const { return (dir.path() / "Setup.exe").string(); }
};

// Starts Setup.exe, expects one message box with the given caption, text and icon (as
// messageBoxIcon names it), answers it and expects the program to end.
void expectMessageThenEnd(const std::string& commandLine, const std::string& folder,
                          const std::string& caption, const std::string& text,
                          const std::string& icon) {
    DWORD pid = 0;
    HANDLE process = startProgram(commandLine, folder, pid);
    ASSERT_NE(process, nullptr);
    HWND box = waitForDialog(pid);
    if (box == nullptr) ::TerminateProcess(process, 1);
    ASSERT_NE(box, nullptr) << "no message box appeared";
    EXPECT_EQ(windowText(box), caption);
    EXPECT_EQ(messageBoxText(box), text);
    EXPECT_EQ(messageBoxIcon(box), icon) << text;
    clickButton(box, IDOK);
    DWORD code = 0;
    EXPECT_TRUE(waitForExit(process, code));
    ::CloseHandle(process);
}

TEST(SetupExe, WithoutDesktopSoftwareShowsText16AndEnds) {
    // This program runs in a prefix of its own, where no installer is registered.
    ASSERT_FALSE(keyExists(HKEY_CLASSES_ROOT, ".SIS"));
    ASSERT_FALSE(keyExists(HKEY_CLASSES_ROOT, ".PRC"));
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, APP_PATHS_KEY));
    Disc disc;
    expectMessageThenEnd("\"" + disc.exe() + "\"", disc.dir.str(), "Sample Setup",
                         "No desktop software for any handheld was found.", "none");
    // The look-up only reads: no empty key is left behind in the machine's registry.
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, APP_PATHS_KEY));
}

TEST(SetupExe, WithoutDesktopSoftwareOnADiscThatCannotLoadSaysSoAndEnds) {
    Disc disc;
    std::filesystem::remove(disc.dir.path() / "rsc" / "bcancel.bmp");
    expectMessageThenEnd("\"" + disc.exe() + "\"", disc.dir.str(), "Setup",
                         "Error.\n\nCannot run Setup.", "exclamation");
}

TEST(SetupExe, WithoutSetupDataSaysSoAndEnds) {
    ScratchDir dir;
    std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "Lonely.exe");
    // The caption is the program's name without extension.
    expectMessageThenEnd("\"" + (dir.path() / "Lonely.exe").string() + "\"", dir.str(), "Lonely",
                         "No SETUP information found on disk or CD-ROM", "exclamation");
}

// With "-all" every platform counts as served; a package named like the program is unpacked
// beside it and deleted before that. The splash then shows and closes by itself, and as the
// disc has no scripts, the page that no platform can be used follows.
TEST(SetupExe, StartupPackageIsUnpackedBesideTheProgramAndDeleted) {
    Disc disc;
    std::string archive, error;
    ASSERT_TRUE(buildFileArchive({{"extra\\readme.txt", "unpacked at start", 946684800, 946684800},
                                  {"rsc\\added.txt", "more", 946684800, 946684800}},
                                 archive, error))
        << error;
    disc.dir.write("Setup.APK", archive);
    DWORD pid = 0;
    HANDLE process = startProgram("\"" + disc.exe() + "\" -all", disc.dir.str(), pid);
    ASSERT_NE(process, nullptr);
    // No platform of this disc has scripts: the page that says so ends the start-up.
    EXPECT_TRUE(finishNoPlatformPage(pid));
    DWORD code = 0;
    bool ended = waitForExit(process, code);
    if (!ended) {
        // A message box would mean the start-up stopped where it should not.
        HWND box = waitForDialog(pid, 1000);
        ADD_FAILURE() << "Setup.exe did not end; message: " << (box ? messageBoxText(box) : "");
        ::TerminateProcess(process, 1);
    }
    ::CloseHandle(process);
    EXPECT_EQ(readFile(disc.dir.path() / "extra" / "readme.txt"), "unpacked at start");
    EXPECT_EQ(readFile(disc.dir.path() / "rsc" / "added.txt"), "more");
    EXPECT_FALSE(std::filesystem::exists(disc.dir.path() / "Setup.APK"));
}

// A start-up package that cannot be unpacked is kept: the unpacker says why, and Setup ends.
TEST(SetupExe, StartupPackageThatFailsToUnpackIsKept) {
    Disc disc;
    const std::string broken = "KLIX not an archive";
    disc.dir.write("Setup.APK", broken);
    expectMessageThenEnd("\"" + disc.exe() + "\" -all", disc.dir.str(), "Error!",
                         "Incorrect archive header", "exclamation");
    EXPECT_EQ(readFile(disc.dir.path() / "Setup.APK"), broken);
}

}  // namespace

namespace {

// Wine tells a program the Windows version set for its file name; gone again with the object.
class VersionForProgram {
public:
    VersionForProgram(const std::string& program, const std::string& version)
        : key_("Software\\Wine\\AppDefaults\\" + program) {
        if (version.empty()) return;
        HKEY key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr) != ERROR_SUCCESS)
            return;
        set_ = ::RegSetValueExA(key, "Version", 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(version.c_str()),
                                static_cast<DWORD>(version.size() + 1)) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    ~VersionForProgram() {
        if (set_) ::RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());
    }
    bool set() const { return set_; }

private:
    std::string key_;
    bool set_ = false;
};

}  // namespace

// The single-instance test looks at the processes as each Windows family allows: the process
// snapshot on the Windows 95 family, the process-status library on NT 4 with its last service
// pack and on every later NT (the version of this suite's prefix). On each, a lone start goes
// on to look for its data, and a second start while the first runs is turned away.
TEST(SingleInstance, EachWindowsFamilyTurnsAwayOnlyASecondStart) {
    struct Row {
        const char* version;   // as Wine names it; empty: the prefix's own
        const char* reported;  // platform id, major and minor version as a program is told
    };
    const std::string suiteVersion = [] {
        char buf[32] = "";
        ::GetEnvironmentVariableA("SETUP_WINE_VERSION", buf, sizeof buf);
        return std::string(buf);
    }();
    // What the prefix's own version tells a program without a manifest (Windows 10 tells such
    // a program 6.2, as Wine does too).
    const char* suiteReported = suiteVersion == "winxp"   ? "2.5.1"
                                : suiteVersion == "win7"  ? "2.6.1"
                                : suiteVersion == "win10" ? "2.6.2"
                                                          : "";
    for (const Row& row : {Row{"win98", "1.4.10"}, Row{"nt40", "2.4.0"}, Row{"", suiteReported}}) {
        SCOPED_TRACE(*row.version ? row.version : "the prefix's own version " + suiteVersion);
        ScratchDir dir;
        VersionForProgram version("Twin.exe", row.version);
        if (*row.version) ASSERT_TRUE(version.set());
        if (*row.reported) {
            // A stand-in of that name says which version Wine tells it.
            std::filesystem::create_directories(dir.path() / "probe");
            std::filesystem::copy_file(ownFolder() + "stand ins\\Web Browser.exe",
                                       dir.path() / "probe" / "Twin.exe");
            const std::string log = (dir.path() / "probe" / "log.txt").string();
            ::SetEnvironmentVariableA("STANDIN_LOG", log.c_str());
            DWORD pid = 0, code = 0;
            HANDLE probe = startProgram("\"" + (dir.path() / "probe" / "Twin.exe").string() + "\"",
                                        dir.str(), pid);
            ::SetEnvironmentVariableA("STANDIN_LOG", nullptr);
            ASSERT_NE(probe, nullptr);
            EXPECT_TRUE(waitForExit(probe, code));
            ::CloseHandle(probe);
            EXPECT_NE(readFile(log).find(std::string("windows=") + row.reported + "\r\n"),
                      std::string::npos)
                << readFile(log);
        }
        // Without setup data the first start waits in its message: it has passed the test.
        for (const char* folder : {"first", "second"}) {
            std::filesystem::create_directories(dir.path() / folder);
            std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / folder / "Twin.exe");
        }
        DWORD firstPid = 0;
        HANDLE first = startProgram("\"" + (dir.path() / "first" / "Twin.exe").string() + "\"",
                                    dir.str(), firstPid);
        ASSERT_NE(first, nullptr);
        HWND box = waitForDialog(firstPid);
        if (!box) ::TerminateProcess(first, 1);
        ASSERT_NE(box, nullptr) << "the first start showed nothing";
        EXPECT_EQ(messageBoxText(box), "No SETUP information found on disk or CD-ROM");
        expectMessageThenEnd("\"" + (dir.path() / "second" / "Twin.exe").string() + "\"", dir.str(),
                             "Twin", "This application could only be started once.", "exclamation");
        clickButton(box, IDOK);
        DWORD code = 0;
        EXPECT_TRUE(waitForExit(first, code));
        ::CloseHandle(first);
    }
}
