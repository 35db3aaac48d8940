// Setup.exe's splash, loader and check mode, started for real and watched from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <new>

#include "fw/thread.h"
#include "skin/splash_dialog.h"
#include "support/bmp_writer.h"
#include "support/fakes.h"
#include "support/screen_look_win.h"
#include "support/test_disc.h"
#include "support/ui_driver_win.h"
#include "support/wine_cdrom_win.h"

namespace {

using namespace testing_support;

constexpr std::uint32_t SPLASH_RGB = 0x3366CC;
constexpr int PICTURE_W = 320, PICTURE_H = 400;

std::string quoted(const std::string& path) {
    std::string q(1, '"');
    q += path;
    return q + '"';
}

// The splash (a dialog that is no message box) or a message box of the process, waited for
// (the wait keeps this program's windows, the coloured desktop, painting).
HWND waitForKind(DWORD pid, bool messageBox) {
    WindowQuery q = WindowQuery::dialogs(pid);
    q.also = [messageBox](HWND w) { return isMessageBox(w) == messageBox; };
    return waitForWindow(q);
}

// Answers the next message box of the process, expecting its caption and text and the icon
// that every box of the start-up shows.
void expectMessage(DWORD pid, const std::string& caption, const std::string& text) {
    HWND box = waitForKind(pid, true);
    ASSERT_NE(box, nullptr) << "no message box: " << text;
    EXPECT_EQ(windowText(box), caption);
    EXPECT_EQ(messageBoxText(box), text);
    EXPECT_EQ(messageBoxIcon(box), "exclamation") << text;
    clickButton(box, IDOK);
    // The box must be gone before the next is looked for.
    waitUntil([&] { return !::IsWindow(box); });
}

struct Started {
    HANDLE process = nullptr;
    DWORD pid = 0;
    Started(const std::string& commandLine, const std::string& folder) {
        process = startProgram(commandLine, folder, pid);
    }
    ~Started() {
        if (process && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process, 1);
        if (process) ::CloseHandle(process);
    }
    bool ends() {
        DWORD code = 0;
        return waitForExit(process, code);
    }
};

// A disc with Setup.exe, a splash colour and, when asked, a round "slogo.bmp" on white.
struct Disc {
    ScratchDir dir;
    std::string at;
    explicit Disc(bool picture = true, const std::string& sub = "") : at(sub) {
        writeDiscSettings(dir, at, SPLASH_RGB);
        if (picture)
            dir.write(rel("rsc/slogo.bmp"),
                      bmpFile(PICTURE_W, PICTURE_H, [](int x, int y) -> std::uint32_t {
                          // An ellipse touching the edges; its inside is any non-white colour.
                          double dx = (x - PICTURE_W / 2.0) / (PICTURE_W / 2.0);
                          double dy = (y - PICTURE_H / 2.0) / (PICTURE_H / 2.0);
                          return dx * dx + dy * dy < 1.0 ? 0x808080 : 0xFFFFFF;
                      }));
        std::filesystem::copy_file(ownFolder() + "Setup.exe", folder() / "Setup.exe");
    }
    std::string rel(const std::string& r) const { return at.empty() ? r : at + "/" + r; }
    std::filesystem::path folder() const { return at.empty() ? dir.path() : dir.path() / at; }
    std::string exe() const { return quoted((folder() / "Setup.exe").string()); }
};

std::uint32_t screenPixel(int x, int y) {
    return captureScreen(RECT{x, y, x + 1, y + 1}).at(0, 0);
}

TEST(Splash, ShapedInTheDiscsColourThenTheStartUpGoesOn) {
    ColouredDesktop desktop;
    Disc disc;
    Started run(disc.exe() + " -all", disc.dir.str());
    ASSERT_NE(run.process, nullptr);
    const DWORD started = ::GetTickCount();
    HWND splash = waitForKind(run.pid, false);
    ASSERT_NE(splash, nullptr) << "no splash";
    const DWORD seen = ::GetTickCount();

    // The picture's size, centred on the screen, cut to the ellipse.
    RECT r;
    ::GetWindowRect(splash, &r);
    EXPECT_EQ(r.right - r.left, PICTURE_W);
    EXPECT_EQ(r.bottom - r.top, PICTURE_H);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - PICTURE_W) / 2);
    EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - PICTURE_H) / 2);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(splash, region), ERROR);
    EXPECT_TRUE(::PtInRegion(region, PICTURE_W / 2, PICTURE_H / 2));
    EXPECT_TRUE(::PtInRegion(region, PICTURE_W / 2, PICTURE_H - 2));
    EXPECT_FALSE(::PtInRegion(region, 2, 2));
    EXPECT_FALSE(::PtInRegion(region, PICTURE_W - 3, PICTURE_H - 3));
    ::DeleteObject(region);

    // The disc's colour above row 360, black below, the desktop outside the outline.
    const int cx = r.left + PICTURE_W / 2;
    waitUntil([&] { return !::IsWindow(splash) || screenPixel(cx, r.top + 200) == SPLASH_RGB; },
              5000);
    if (::IsWindow(splash)) {
        savePicture(captureScreen(RECT{r.left - 40, r.top - 40, r.right + 40, r.bottom + 40}),
                    "splash");
        EXPECT_EQ(screenPixel(cx, r.top + 200), SPLASH_RGB);
        EXPECT_EQ(screenPixel(cx, r.top + 380), 0x000000u);
        EXPECT_EQ(screenPixel(r.left + 2, r.top + 2), ColouredDesktop::RGB_COLOUR);
    } else {
        ADD_FAILURE() << "the splash closed before it could be looked at";
    }

    // Loaded (no scripts on this disc) and, after its minimum time, gone; the start-up then
    // goes on to the page that says no platform can be used, whose Finish ends it.
    waitUntil([&] { return !::IsWindow(splash); });
    const DWORD gone = ::GetTickCount();
    EXPECT_TRUE(finishNoPlatformPage(run.pid));
    EXPECT_TRUE(run.ends());
    std::printf(
        "splash seen %lu ms after the start, shown for %lu ms, process ended %lu ms "
        "after the start\n",
        static_cast<unsigned long>(seen - started), static_cast<unsigned long>(gone - seen),
        static_cast<unsigned long>(::GetTickCount() - started));
}

TEST(Splash, WithoutItsPictureKeepsTheTemplateSizeAndTwoBands) {
    Disc disc(false);
    Started run(disc.exe() + " -all", disc.dir.str());
    HWND splash = waitForKind(run.pid, false);
    ASSERT_NE(splash, nullptr);
    RECT r;
    ::GetWindowRect(splash, &r);
    const int w = r.right - r.left;
    EXPECT_GT(w, 400);  // 449 x 326 dialog units
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(splash, region), ERROR);  // no region: not shaped
    ::DeleteObject(region);
    const DWORD seen = ::GetTickCount();
    waitUntil([&] { return !::IsWindow(splash); });
    std::printf("splash without picture shown for %lu ms after it was seen\n",
                static_cast<unsigned long>(::GetTickCount() - seen));
    EXPECT_TRUE(finishNoPlatformPage(run.pid));
    EXPECT_TRUE(run.ends());
}

TEST(Splash, AFailingScriptEndsWithItsMessageAndASecondInstanceIsTurnedAway) {
    Disc disc;
    disc.dir.write("App/PALM.mnu", crlf({"EPOC", "1", "App", "1.0", "-", "END"}));
    Started first(disc.exe() + " -all", disc.dir.str());
    ASSERT_NE(first.process, nullptr);
    // The loader waits in the parser's message; meanwhile a second start is refused.
    HWND parserBox = waitForKind(first.pid, true);
    ASSERT_NE(parserBox, nullptr);
    {
        Started second(disc.exe() + " -all", disc.dir.str());
        expectMessage(second.pid, "Setup", "This application could only be started once.");
        EXPECT_TRUE(second.ends());
    }
    expectMessage(first.pid, "Setup", "Wrong device name specified");
    expectMessage(first.pid, "Setup", "Error.\nSetup instructions not found.\nCannot run Setup.");
    expectMessage(first.pid, "Setup", "Error.\n\nCannot run Setup.");
    EXPECT_TRUE(first.ends());
}

// The splash run here with a loader that throws or answers neither success nor failure: it
// ends at once as a failure, as it does when loading fails, instead of waiting for ever.
TEST(Splash, ALoaderThatThrowsOrAnswersNonsenseEndsItAsAFailure) {
    const std::pair<const char*, std::function<int()>> loaders[] = {
        {"throws", []() -> int { throw std::bad_alloc(); }},
        {"answers 0", [] { return 0; }},
    };
    for (const auto& [what, loader] : loaders) {
        SplashDialog splash("", RGB(0x33, 0x66, 0xCC), "Setup", loader);
        fw::Thread page;
        ASSERT_TRUE(page.start([&splash] { return static_cast<DWORD>(splash.doModal()); }));
        const bool ended = waitUntil([&] { return !page.running(); }, 10000);
        EXPECT_TRUE(ended) << what << ": the splash still waits for the loader";
        // A splash left waiting ends with its thread's quit message.
        const DWORD result = ended ? page.wait() : page.quitAndWait();
        if (ended) {
            EXPECT_EQ(result, static_cast<DWORD>(SPLASH_FAILED)) << what;
        }
    }
}

// Started from a folder without the settings, Setup uses the first CD-ROM drive whose root
// holds a file named like the program: check mode there reports the scripts of that drive.
TEST(CdRom, TheFirstCdRomDriveHoldsTheSetupData) {
    ScratchDir dir;
    writeCheckDisc(dir, "cd");
    std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "cd" / "Setup.exe");
    std::filesystem::create_directories(dir.path() / "elsewhere");
    std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "elsewhere" / "Setup.exe");
    WineCdRom cd('m', (dir.path() / "cd").string());
    ASSERT_TRUE(cd.ok()) << "no CD-ROM drive could be defined";
    ASSERT_EQ(::GetDriveTypeA("m:\\"), static_cast<UINT>(DRIVE_CDROM));
    // Any drive before m: that is a CD-ROM would be looked at instead.
    for (char d = 'a'; d < 'm'; ++d) {
        std::string root = std::string(1, d) + ":\\";
        ASSERT_NE(::GetDriveTypeA(root.c_str()), static_cast<UINT>(DRIVE_CDROM)) << root;
    }
    const std::string elsewhere = (dir.path() / "elsewhere").string();
    Started run(quoted(elsewhere + "\\Setup.exe") + " -check -all", elsewhere);
    ASSERT_TRUE(run.ends());
    EXPECT_EQ(readFile(dir.path() / "elsewhere" / "report.txt"), expectedCheckReport("m:\\"));
}

// Check mode under Wine writes the report that setuptool writes, byte for byte.
TEST(CheckMode, SetupExeAndSetuptoolWriteTheSameReport) {
    ScratchDir dir;
    writeCheckDisc(dir, "disc");
    std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "disc" / "Setup.exe");
    std::filesystem::create_directories(dir.path() / "a");
    std::filesystem::create_directories(dir.path() / "b");
    const std::string discDir = (dir.path() / "disc").string();
    {
        Started run(quoted(discDir + "\\Setup.exe") + " -check -all", (dir.path() / "a").string());
        ASSERT_TRUE(run.ends());
    }
    {
        Started run(quoted(ownFolder() + "setuptool.exe") + " check " + quoted(discDir) + " --all",
                    (dir.path() / "b").string());
        ASSERT_TRUE(run.ends());
        DWORD code = 0;
        ::GetExitCodeProcess(run.process, &code);
        EXPECT_EQ(code, 1u);
    }
    const std::string expected = expectedCheckReport(discDir + "\\");
    EXPECT_EQ(readFile(dir.path() / "a" / "report.txt"), expected);
    EXPECT_EQ(readFile(dir.path() / "b" / "report.txt"), expected);

    // A folder where the report cannot be created is named, and nothing else is written.
    std::filesystem::create_directories(dir.path() / "c" / "report.txt");
    Started run(quoted(discDir + "\\Setup.exe") + " -check -all", (dir.path() / "c").string());
    expectMessage(
        run.pid, "Setup",
        "report.txt cannot be created in the folder " + (dir.path() / "c").string() + ".");
    EXPECT_TRUE(run.ends());
}

// A long check shows its progress window; Cancel there stops it, and the report keeps what
// was written up to then, whole lines only.
TEST(CheckMode, CancelInTheProgressWindowEndsTheReportWhereItStopped) {
    ScratchDir dir;
    writeDiscSettings(dir, "disc");
    // The check pumps messages only every half second: it must outlast a few of those on a
    // fast machine, or it ends before it sees the click.
    constexpr int MENUS = 12, OPTIONS = 9000;
    std::string script = "PALM\r\n" + std::to_string(MENUS) + "\r\nBig\r\n1.0\r\n-\r\n";
    for (int m = 0; m < MENUS; ++m) {
        script += "MENU " + std::to_string(m) + " " + std::to_string(OPTIONS) + " LIST\r\n";
        for (int i = 0; i < OPTIONS; ++i)
            script += "HTMLOPTION\r\nDocument\r\ndoc" + std::to_string(i) + ".htm\r\n";
    }
    dir.write("disc/Big/PALM.mnu", script + "END\r\n");
    dir.write("disc/Big/PALM/readme.txt", "the package folder");
    std::filesystem::copy_file(ownFolder() + "Setup.exe", dir.path() / "disc" / "Setup.exe");
    const std::string discDir = (dir.path() / "disc").string();
    std::string full;
    for (int m = 0; m < MENUS; ++m) {
        full += "Checking menu " + discDir + "\\Big\\PALM.mnu:" + std::to_string(m) + "...\r\n";
        for (int i = 0; i < OPTIONS; ++i)
            full +=
                "File " + discDir + "\\Big\\PALM\\doc" + std::to_string(i) + ".htm not found.\r\n";
    }

    Started run(quoted(discDir + "\\Setup.exe") + " -check -all", dir.str());
    WindowQuery progressWindow = WindowQuery::dialogs(run.pid);
    progressWindow.title = "Setup 1.81";
    HWND progress = waitForWindow(progressWindow);
    ASSERT_NE(progress, nullptr) << "no progress window";
    clickButton(progress, IDCANCEL);
    ASSERT_TRUE(run.ends());
    std::string report = readFile(dir.path() / "report.txt");
    EXPECT_LT(report.size(), full.size()) << "the check was not cancelled";
    EXPECT_EQ(full.compare(0, report.size(), report), 0) << "not a prefix of the full report";
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
}

}  // namespace
