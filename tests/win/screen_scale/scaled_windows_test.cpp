// The splash and the progress window at the screen's scale (this suite runs at 96, 120, 144
// and 192 DPI): sizes, outline and layout are the 96-DPI numbers scaled, the outline is cut
// from the picture drawn at that size, the progress text fits; in high contrast the splash
// keeps its shape in the system's colours.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fw/application.h"
#include "fw/dpi.h"
#include "fw/thread.h"
#include "platform/win32/wide_text_win.h"
#include "resource.h"
#include "rules/dpi_scale.h"
#include "skin/progress_dialog.h"
#include "skin/splash_dialog.h"
#include "support/bmp_writer.h"
#include "support/fakes.h"
#include "support/screen_look_win.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;

// The suite's scale, as the prefix was set up and as the program meets it.
int screenDpi() {
    const char* set = std::getenv("SETUP_WINE_DPI");
    const int dpi = fw::systemDpi();
    EXPECT_EQ(dpi, set && *set ? std::atoi(set) : BASE_DPI) << "the prefix's LogPixels";
    return dpi;
}

int s(int value) {
    return scaleToDpi(value, fw::systemDpi());
}

std::uint32_t screenPixel(int x, int y) {
    return captureScreen(RECT{x, y, x + 1, y + 1}).at(0, 0);
}

// A grey ellipse touching the picture's four edges, with a white hole, on white: 240 x 380,
// so that at 192 DPI it still fits the test screen and its band (360 rows) has a foot.
constexpr int PICTURE_W = 240, PICTURE_H = 380;
constexpr RECT HOLE{70, 100, 130, 160};
std::uint32_t splashPicture(int x, int y) {
    const double dx = (x + 0.5 - PICTURE_W / 2.0) / (PICTURE_W / 2.0);
    const double dy = (y + 0.5 - PICTURE_H / 2.0) / (PICTURE_H / 2.0);
    const bool hole = x >= HOLE.left && x < HOLE.right && y >= HOLE.top && y < HOLE.bottom;
    return dx * dx + dy * dy < 1.0 && !hole ? 0x808080 : 0xFFFFFF;
}

constexpr std::uint32_t SPLASH_RGB = 0x3366CC;

// The splash over a backdrop, its loader held until the checks are done, in the skin's
// colours and in high contrast.
TEST(ScaledSplash, SizeOutlineAndBandsFollowTheScale) {
    const int dpi = screenDpi();
    ScratchDir dir;
    const std::string path =
        dir.write("slogo.bmp", bmpFile(PICTURE_W, PICTURE_H, splashPicture)).string();
    for (const bool contrast : {false, true}) {
        SCOPED_TRACE(contrast ? "high contrast" : "skin");
        ColouredDesktop desktop;
        std::optional<HighContrastScheme> scheme;
        if (contrast) scheme.emplace();
        std::atomic<bool> release{false};
        SplashDialog splash(path, RGB(0x33, 0x66, 0xCC), "Scaled splash", [&] {
            while (!release) ::Sleep(10);
            return IDOK;
        });
        fw::Thread page;
        ASSERT_TRUE(page.start([&splash] { return static_cast<DWORD>(splash.doModal()); }));
        WindowQuery query;
        query.title = "Scaled splash";
        HWND w = waitForWindow(query);
        ASSERT_NE(w, nullptr);

        RECT r;
        ::GetWindowRect(w, &r);
        EXPECT_EQ(r.right - r.left, s(PICTURE_W));
        EXPECT_EQ(r.bottom - r.top, s(PICTURE_H));
        EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - s(PICTURE_W)) / 2);
        fw::Region region(::CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(::GetWindowRgn(w, region.get()), ERROR);
        RECT box;
        ::GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.top, 0);
        EXPECT_EQ(box.right, s(PICTURE_W));
        EXPECT_EQ(box.bottom, s(PICTURE_H));
        // Inside and outside the shape, away from its smoothed edge.
        const POINT hole{s((HOLE.left + HOLE.right) / 2), s((HOLE.top + HOLE.bottom) / 2)};
        const POINT band{s(PICTURE_W / 2), s(250)}, foot{s(PICTURE_W / 2), s(372)};
        const POINT corner{s(8), s(8)};
        EXPECT_FALSE(::PtInRegion(region.get(), hole.x, hole.y));
        EXPECT_FALSE(::PtInRegion(region.get(), corner.x, corner.y));
        EXPECT_TRUE(::PtInRegion(region.get(), band.x, band.y));
        EXPECT_TRUE(::PtInRegion(region.get(), foot.x, foot.y));
        EXPECT_NE(::WindowFromPoint(POINT{r.left + hole.x, r.top + hole.y}), w);
        EXPECT_EQ(::WindowFromPoint(POINT{r.left + band.x, r.top + band.y}), w);

        const std::uint32_t bandColour = contrast ? HighContrastScheme::WINDOW : SPLASH_RGB;
        const std::uint32_t footColour = contrast ? HighContrastScheme::WINDOW_TEXT : 0x000000;
        EXPECT_TRUE(waitUntil(
            [&] { return screenPixel(r.left + band.x, r.top + band.y) == bandColour; }, 5000));
        const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
        savePicture(captureScreen(RECT{std::max(0L, r.left - 20), std::max(0L, r.top - 20),
                                       std::min<LONG>(sw, r.right + 20),
                                       std::min<LONG>(sh, r.bottom + 20)}),
                    std::string(contrast ? "contrast-" : "skin-") + std::to_string(dpi));
        EXPECT_EQ(screenPixel(r.left + band.x, r.top + band.y), bandColour);
        EXPECT_EQ(screenPixel(r.left + foot.x, r.top + foot.y), footColour);
        EXPECT_EQ(screenPixel(r.left + hole.x, r.top + hole.y), ColouredDesktop::RGB_COLOUR);
        // The band ends at its scaled height in the client area (inside the dialog's frame).
        POINT client{0, 0};
        ::ClientToScreen(w, &client);
        EXPECT_EQ(screenPixel(r.left + band.x, client.y + s(360) - 1), bandColour);
        EXPECT_EQ(screenPixel(r.left + band.x, client.y + s(360)), footColour);
        // In high contrast the shape's edge is drawn, the hole's too, so that the shape shows
        // on a desktop of any colour.
        const std::uint32_t edge = screenPixel(r.left + s(HOLE.left) - 1, r.top + hole.y);
        EXPECT_EQ(edge, contrast ? HighContrastScheme::WINDOW_TEXT : bandColour)
            << std::hex << edge;

        // Moved to a screen of another scale, the window takes its size and outline there.
        const int other = dpi == 192 ? 144 : 192;
        RECT suggested{r.left, r.top, r.left + 1, r.top + 1};
        ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(other, other),
                       reinterpret_cast<LPARAM>(&suggested));
        ::GetWindowRect(w, &r);
        EXPECT_EQ(r.right - r.left, scaleToDpi(PICTURE_W, other));
        EXPECT_EQ(r.bottom - r.top, scaleToDpi(PICTURE_H, other));
        ASSERT_NE(::GetWindowRgn(w, region.get()), ERROR);
        ::GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.right, scaleToDpi(PICTURE_W, other));
        EXPECT_EQ(box.bottom, scaleToDpi(PICTURE_H, other));

        release = true;
        ASSERT_TRUE(waitUntil([&] { return !page.running(); }));
        EXPECT_EQ(page.wait(), static_cast<DWORD>(IDOK));
    }
}

RECT rectOf(const WizRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

std::string show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The window's client area and controls stand where the layout says, which at 96 DPI is
// where the dialog manager puts the template and at every scale its 96-DPI pixels scaled;
// the font follows, and the longest texts fit their line.
TEST(ScaledProgressWindow, LayoutAndFontFollowTheScale) {
    const int dpi = screenDpi();
    platform::ProceedFlag proceed{1};
    ProgressDialog dialog(&proceed, false, "", false);
    ASSERT_TRUE(dialog.created());
    HWND w = dialog.hwnd();
    const ProgressLayout l = dialog.layoutAt(dpi), at96 = dialog.layoutAt(BASE_DPI);
    RECT client;
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, l.clientWidth);
    EXPECT_EQ(client.bottom, l.clientHeight);
    EXPECT_EQ(l.clientWidth, s(at96.clientWidth));
    EXPECT_EQ(l.clientHeight, s(at96.clientHeight));
    const std::pair<int, WizRect> parts[] = {
        {IDC_PROGRESS_TEXT, l.text}, {IDC_PROGRESS_BAR, l.bar}, {IDCANCEL, l.cancel}};
    for (const auto& [id, expected] : parts) {
        EXPECT_EQ(show(childRect(::GetDlgItem(w, id))), show(rectOf(expected))) << id;
    }
    EXPECT_EQ(show(rectOf(l.bar)), show(rectOf(scaleToDpi(at96.bar, dpi))));
    EXPECT_GT(at96.clientWidth, 200);  // the base units were measured, not zero

    HWND line = ::GetDlgItem(w, IDC_PROGRESS_TEXT);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(line, WM_GETFONT, 0, 0));
    LOGFONTW face{};
    ASSERT_TRUE(::GetObjectW(font, sizeof face, &face));
    if (dpi != BASE_DPI) EXPECT_EQ(-face.lfHeight, s(PROGRESS_FONT_HEIGHT_96));
    EXPECT_EQ(reinterpret_cast<HFONT>(::SendDlgItemMessageW(w, IDCANCEL, WM_GETFONT, 0, 0)), font);

    dialog.setText("Processing APK files...", 0, 100);
    dialog.setPos(66);
    for (const char* text : {"Processing APK files...", "Чтение меню… 読み込み中"}) {
        const std::wstring wide = platform::win32::wide(text);
        fw::WindowDc dc(line);
        fw::Selection selected(dc.dc(), font);
        RECT inside;
        ::GetClientRect(line, &inside);
        RECT need = inside;
        ::DrawTextW(dc.dc(), wide.c_str(), static_cast<int>(wide.size()), &need,
                    DT_CALCRECT | DT_SINGLELINE);
        EXPECT_LE(need.right - need.left, inside.right) << text;
        EXPECT_LE(need.bottom - need.top, inside.bottom) << text;
    }
    const std::wstring label = platform::win32::wide("Cancel");
    {
        fw::WindowDc dc(::GetDlgItem(w, IDCANCEL));
        fw::Selection selected(dc.dc(), font);
        SIZE size{};
        ::GetTextExtentPoint32W(dc.dc(), label.c_str(), 6, &size);
        EXPECT_LT(size.cx, l.cancel.width());
        EXPECT_LT(size.cy, l.cancel.height());
    }
    EXPECT_FALSE(saveScreenshot(w, "dpi" + std::to_string(dpi)).empty());

    // Moved to a screen of another scale, it lays itself out there.
    const int other = dpi == 192 ? 144 : 192;
    RECT window;
    ::GetWindowRect(w, &window);
    ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&window));
    const ProgressLayout moved = dialog.layoutAt(other);
    ::GetClientRect(w, &client);
    EXPECT_EQ(client.right, moved.clientWidth);
    EXPECT_EQ(client.bottom, moved.clientHeight);
    EXPECT_EQ(show(childRect(::GetDlgItem(w, IDCANCEL))), show(rectOf(moved.cancel)));
    font = reinterpret_cast<HFONT>(::SendMessageW(line, WM_GETFONT, 0, 0));
    ASSERT_TRUE(::GetObjectW(font, sizeof face, &face));
    EXPECT_EQ(-face.lfHeight, scaleToDpi(PROGRESS_FONT_HEIGHT_96, other));
}

}  // namespace
