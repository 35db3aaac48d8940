// Setup.exe's splash, loader and check mode, started for real and watched from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <vector>

#include "fw/thread.h"
#include "skin/splash_dialog.h"
#include "support/bmp_writer.h"
#include "support/crc32.h"
#include "support/fakes.h"
#include "support/test_disc.h"
#include "support/ui_driver_win.h"
#include "support/wine_cdrom_win.h"

namespace {

using namespace testing_support;

constexpr DWORD TIMEOUT_MS = 60000;
constexpr std::uint32_t SPLASH_RGB = 0x3366CC;
constexpr int PICTURE_W = 320, PICTURE_H = 400;

std::string quoted(const std::string& path) {
    std::string q(1, '"');
    q += path;
    return q + '"';
}

// Lets the windows of this test program (the coloured desktop) paint while it waits.
void pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
}

struct WindowSearch {
    DWORD pid;
    bool messageBox;  // a message box (its text control 0xFFFF), else the splash
    HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (pid != s->pid || !::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
    if ((::GetDlgItem(window, 0xFFFF) != nullptr) != s->messageBox) return TRUE;
    s->found = window;
    return FALSE;
}

HWND waitForWindow(DWORD pid, bool messageBox, DWORD timeoutMs = TIMEOUT_MS) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        WindowSearch s{pid, messageBox, nullptr};
        ::EnumWindows(findWindow, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        pump();
        ::Sleep(20);  // polling interval
    }
}

// Answers the next message box of the process, expecting its caption and text and the icon
// that every box of the start-up shows.
void expectMessage(DWORD pid, const std::string& caption, const std::string& text) {
    HWND box = waitForWindow(pid, true);
    ASSERT_NE(box, nullptr) << "no message box: " << text;
    EXPECT_EQ(windowText(box), caption);
    EXPECT_EQ(messageBoxText(box), text);
    EXPECT_EQ(messageBoxIcon(box), "exclamation") << text;
    clickButton(box, IDOK);
    // The box must be gone before the next is looked for.
    for (DWORD start = ::GetTickCount(); ::IsWindow(box) && ::GetTickCount() - start < TIMEOUT_MS;)
        ::Sleep(20);
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
        for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < TIMEOUT_MS;) {
            pump();
            if (waitForExit(process, 20, code)) return true;
        }
        return false;
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

// A window of this program behind everything, in a colour the splash never has.
class ColouredDesktop {
public:
    ColouredDesktop() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hbrBackground = ::CreateSolidBrush(RGB(0x20, 0xA0, 0x40));
        wc.lpszClassName = "SplashTestDesktop";
        ::RegisterClassA(&wc);
        window_ = ::CreateWindowExA(
            0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
            ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
        ::UpdateWindow(window_);
        pump();
    }
    ~ColouredDesktop() { ::DestroyWindow(window_); }

private:
    HWND window_;
};

COLORREF screenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

// PNG of rows of RGB bytes, top row first, in stored (uncompressed) deflate blocks.
std::string pngFile(int w, int h, const std::vector<std::uint8_t>& rgb) {
    auto be32 = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const char* type, const std::string& data) {
        std::string body = type;
        body += data;
        return be32(static_cast<std::uint32_t>(data.size())) + body + be32(crc32(body));
    };
    std::string raw;
    for (int y = 0; y < h; ++y) {
        raw += '\0';  // no filter
        raw.append(reinterpret_cast<const char*>(&rgb[static_cast<std::size_t>(y) * w * 3]),
                   static_cast<std::size_t>(w) * 3);
    }
    std::string z = "\x78\x01";
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        z += char(at + n == raw.size() ? 1 : 0);
        z += {char(n), char(n >> 8), char(~n), char(~n >> 8)};
        z += raw.substr(at, n);
        at += n;
        if (n == 0) break;
    }
    z += be32(b << 16 | a);
    std::string header = be32(w) + be32(h) + std::string{8, 2, 0, 0, 0};
    std::string png = "\x89PNG\r\n\x1a\n";
    png += chunk("IHDR", header);
    png += chunk("IDAT", z);
    return png + chunk("IEND", "");
}

// A PNG of a screen rectangle.
void saveScreenshot(const RECT& r, const std::filesystem::path& file) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(w) * h * 4);
    ::GetDIBits(memory, bitmap, 0, h, bgra.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i)
        for (int c = 0; c < 3; ++c) rgb[i * 3 + c] = bgra[i * 4 + 2 - c];
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << pngFile(w, h, rgb);
}

// build/test-artifacts, beside the build folders.
std::filesystem::path artifacts() {
    return std::filesystem::path(ownFolder()).parent_path().parent_path().parent_path() /
           "test-artifacts";
}

TEST(Splash, ShapedInTheDiscsColourThenTheStartUpGoesOn) {
    ColouredDesktop desktop;
    Disc disc;
    Started run(disc.exe() + " -all", disc.dir.str());
    ASSERT_NE(run.process, nullptr);
    const DWORD started = ::GetTickCount();
    HWND splash = waitForWindow(run.pid, false);
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
    COLORREF band = RGB(SPLASH_RGB >> 16, (SPLASH_RGB >> 8) & 0xFF, SPLASH_RGB & 0xFF);
    for (DWORD t = ::GetTickCount(); screenPixel(cx, r.top + 200) != band;) {
        if (::GetTickCount() - t > 5000 || !::IsWindow(splash)) break;
        pump();
        ::Sleep(10);
    }
    if (::IsWindow(splash)) {
        saveScreenshot(RECT{r.left - 40, r.top - 40, r.right + 40, r.bottom + 40},
                       artifacts() / "splash.png");
        EXPECT_EQ(screenPixel(cx, r.top + 200), band);
        EXPECT_EQ(screenPixel(cx, r.top + 380), RGB(0, 0, 0));
        EXPECT_EQ(screenPixel(r.left + 2, r.top + 2), RGB(0x20, 0xA0, 0x40));
    } else {
        ADD_FAILURE() << "the splash closed before it could be looked at";
    }

    // Loaded (no scripts on this disc) and, after its minimum time, gone; the start-up then
    // goes on to the page that says no platform can be used, whose Finish ends it.
    while (::IsWindow(splash) && ::GetTickCount() - seen < TIMEOUT_MS) {
        pump();
        ::Sleep(5);
    }
    const DWORD gone = ::GetTickCount();
    EXPECT_TRUE(finishNoPlatformPage(run.pid, TIMEOUT_MS));
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
    HWND splash = waitForWindow(run.pid, false);
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
    while (::IsWindow(splash) && ::GetTickCount() - seen < TIMEOUT_MS) ::Sleep(5);
    std::printf("splash without picture shown for %lu ms after it was seen\n",
                static_cast<unsigned long>(::GetTickCount() - seen));
    EXPECT_TRUE(finishNoPlatformPage(run.pid, TIMEOUT_MS));
    EXPECT_TRUE(run.ends());
}

TEST(Splash, AFailingScriptEndsWithItsMessageAndASecondInstanceIsTurnedAway) {
    Disc disc;
    disc.dir.write("App/PALM.mnu", crlf({"EPOC", "1", "App", "1.0", "-", "END"}));
    Started first(disc.exe() + " -all", disc.dir.str());
    ASSERT_NE(first.process, nullptr);
    // The loader waits in the parser's message; meanwhile a second start is refused.
    HWND parserBox = waitForWindow(first.pid, true);
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
    HWND progress = nullptr;
    for (DWORD start = ::GetTickCount(); !progress && ::GetTickCount() - start < TIMEOUT_MS;) {
        HWND w = waitForWindow(run.pid, false, 1000);
        if (w && windowText(w) == "Setup 1.81") progress = w;
    }
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
