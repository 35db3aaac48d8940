// The driver's pictures: windows captured once painted, screenshots in one folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <utility>

#include "fw/gdi.h"
#include "platform/png_writer.h"
#include "support/ui_driver_win.h"

namespace testing_support {

namespace {

// Copies a w x h area of a surface at (x, y).
Picture copyArea(HDC source, int x, int y, int w, int h) {
    Picture picture;
    fw::MemoryDc memory(::CreateCompatibleDC(source));
    void* bits = nullptr;
    fw::Bitmap dib(fw::topDownPicture(memory.get(), w, h, &bits));
    if (!memory || !dib || !bits) return picture;
    fw::Selection selected(memory.get(), dib.get());
    ::BitBlt(memory.get(), 0, 0, w, h, source, x, y, SRCCOPY);
    ::GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    picture.width = w;
    picture.height = h;
    picture.pixels.assign(p, p + static_cast<std::size_t>(w) * h);
    for (auto& px : picture.pixels) px &= 0xFFFFFF;
    return picture;
}

BOOL CALLBACK notePendingPaint(HWND child, LPARAM pending) {
    if (!::IsWindowVisible(child) || !::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(pending) = true;
    return FALSE;
}

// True while the window or a visible child still waits for its thread to paint it.
bool paintPending(HWND window) {
    bool pending = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!pending) ::EnumChildWindows(window, notePendingPaint, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// Once nothing waits to be painted, the window's thread may still be in its last paint; a
// message sent to it is answered only after that.
void waitForPainting(HWND window) {
    waitUntil([&] { return !paintPending(window); }, 2000);
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
}

}  // namespace

Picture captureScreen(const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return {};
    // The painting reaches the screen a little later than the window's thread does it.
    HDC screen = ::GetDC(nullptr);
    Picture last = copyArea(screen, area.left, area.top, w, h), now;
    waitUntil(
        [&] {
            now = copyArea(screen, area.left, area.top, w, h);
            return std::exchange(last, now).pixels == now.pixels;
        },
        5000);
    ::ReleaseDC(nullptr, screen);
    return now;
}

Picture captureClient(HWND window) {
    RECT client;
    if (!::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return {};
    // Whatever is pending is painted first, by the window's own thread.
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    waitForPainting(window);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId()) {
        // Our own windows: read what was painted, not what has reached the screen yet.
        HDC dc = ::GetDC(window);
        Picture picture = copyArea(dc, 0, 0, client.right, client.bottom);
        ::ReleaseDC(window, dc);
        return picture;
    }
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return captureScreen(client);
}

namespace {
BOOL CALLBACK findIconControl(HWND child, LPARAM found) {
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// A system icon drawn as a static control draws it: at its top left, over the background.
Picture drawnIcon(LPCSTR id, int w, int h, std::uint32_t background) {
    fw::MemoryDc memory(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    fw::Bitmap surface(fw::topDownPicture(memory.get(), w, h, &bits));
    if (!memory || !surface) return {};
    fw::Selection selected(memory.get(), surface.get());
    fw::Brush brush(
        ::CreateSolidBrush(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF)));
    RECT all{0, 0, w, h};
    ::FillRect(memory.get(), &all, brush.get());
    ::DrawIconEx(memory.get(), 0, 0, ::LoadIconA(nullptr, id), w, h, 0, nullptr, DI_NORMAL);
    return copyArea(memory.get(), 0, 0, w, h);
}
}  // namespace

std::string messageBoxIcon(HWND box) {
    HWND control = nullptr;
    ::EnumChildWindows(box, findIconControl, reinterpret_cast<LPARAM>(&control));
    if (!control || !::IsWindowVisible(control) || !::SendMessageA(control, STM_GETICON, 0, 0))
        return "none";
    Picture shown = captureClient(control);
    if (shown.pixels.empty()) return "other";
    // The corners of the system icons are transparent: the top left pixel is the background.
    const std::uint32_t background = shown.at(0, 0);
    const std::pair<LPCSTR, const char*> icons[] = {{IDI_EXCLAMATION, "exclamation"},
                                                    {IDI_QUESTION, "question"},
                                                    {IDI_ASTERISK, "information"},
                                                    {IDI_HAND, "error"}};
    for (const auto& [id, name] : icons)
        if (drawnIcon(id, shown.width, shown.height, background).pixels == shown.pixels)
            return name;
    return "other";
}

std::string artifactFolder() {
    // build/<preset>/bin/ -> build/test-artifacts/
    std::string folder = ownFolder() + "..\\..\\test-artifacts\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// A suite that runs once per Windows version or screen scale keeps each run's pictures apart.
static std::string runLabel() {
    if (const char* version = std::getenv("SETUP_WINE_VERSION"); version && *version)
        return std::string("@") + version;
    if (const char* dpi = std::getenv("SETUP_WINE_DPI"); dpi && *dpi)
        return std::string("@dpi") + dpi;
    return "";
}

std::string savePicture(const Picture& picture, const std::string& state) {
    if (picture.pixels.empty()) return "";
    std::string name = "screenshot";
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(test->test_suite_name()) + "." + test->name();
    name += runLabel() + "-" + state + ".png";
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == ' ') c = '_';
    const std::string path = artifactFolder() + name;
    std::ofstream out(path, std::ios::binary);
    out << platform::pngFile(picture.width, picture.height, picture.pixels);
    return out.good() ? path : "";
}

std::string saveScreenshot(HWND window, const std::string& state) {
    return savePicture(captureClient(window), state);
}

}  // namespace testing_support
