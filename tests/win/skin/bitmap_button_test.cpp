#include <gtest/gtest.h>

#include "fw/window.h"
#include "skin/bitmap_button.h"
#include "skin_test_util.h"
#include "support/ui_driver_win.h"

namespace {

using testing_support::ScratchDir;

constexpr int W = 20, H = 10;
constexpr std::uint32_t FOCUS = 0x2040C0, BACKDROP = 0x777777;
std::uint32_t normalColour(int x, int y) {
    return static_cast<std::uint32_t>(x * 12) << 16 | static_cast<std::uint32_t>(y * 25) << 8 | 7;
}

class BitmapButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loadPicture(normal, dir, "n.bmp", W, H, normalColour));
        ASSERT_TRUE(loadPicture(focus, dir, "f.bmp", W, H, [](int, int) { return FOCUS; }));
        target.reset(CreateCompatibleDC(nullptr));
        HDC screen = GetDC(nullptr);
        surface.reset(CreateCompatibleBitmap(screen, W, H));
        ReleaseDC(nullptr, screen);
        selection = std::make_unique<skin::Selection>(target.get(), surface.get());
    }
    void TearDown() override { selection.reset(); }
    void clear() {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) SetPixel(target.get(), x, y, RGB(0x77, 0x77, 0x77));
    }
    std::uint32_t at(int x, int y) { return rgbOf(GetPixel(target.get(), x, y)); }

    ScratchDir dir;
    BitmapImage normal, focus;
    skin::MemoryDc target;
    skin::GdiObject surface;
    std::unique_ptr<skin::Selection> selection;
};

TEST_F(BitmapButtonTest, PaintsByFocusAndPress) {
    struct Case {
        const char* name;
        UINT state;
        std::function<std::uint32_t(int, int)> expected;
    } cases[] = {
        {"plain", 0, normalColour},
        {"pressed without focus", ODS_SELECTED, normalColour},
        {"focused", ODS_FOCUS, [](int, int) { return FOCUS; }},
        {"pressed and focused", ODS_FOCUS | ODS_SELECTED,
         [](int x, int y) {
             // Shifted one pixel; the first row and column stay from the first copy.
             return x == 0 || y == 0 ? normalColour(x, y) : normalColour(x - 1, y - 1);
         }},
    };
    BitmapButton button(&normal, &focus);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clear();
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_BUTTON;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = c.state;
        draw.hDC = target.get();
        draw.rcItem = RECT{0, 0, W, H};
        button.DrawItem(draw);
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (at(x, y) != c.expected(x, y) && ++wrong < 4)
                    ADD_FAILURE() << x << "," << y << " " << std::hex << at(x, y);
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(BitmapButtonTest, OnlyDrawEntireDraws) {
    BitmapButton button(&normal, &focus);
    clear();
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.itemAction = 0;
    draw.itemState = ODS_FOCUS;
    draw.hDC = target.get();
    draw.rcItem = RECT{0, 0, W, H};
    button.DrawItem(draw);
    EXPECT_EQ(at(5, 5), BACKDROP);
    BitmapButton empty(nullptr, nullptr);
    draw.itemAction = ODA_DRAWENTIRE;
    empty.DrawItem(draw);
    EXPECT_EQ(at(5, 5), BACKDROP);
}

// A plain window of ours with one owner-drawn button, not yet taken over.
struct Window {
    fw::Window parent;
    HWND button = nullptr;
    Window() {
        parent.create("SkinTestParent", "skin", WS_POPUP | WS_VISIBLE, RECT{50, 50, 150, 110},
                      nullptr);
        button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, W,
                                 H, parent.hwnd(), reinterpret_cast<HMENU>(100),
                                 GetModuleHandleA(nullptr), nullptr);
    }
};

TEST_F(BitmapButtonTest, ErasingDrawsNothing) {
    Window win;
    ASSERT_NE(win.parent.hwnd(), nullptr);
    ASSERT_NE(win.button, nullptr);
    BitmapButton button(&normal, &focus);
    ASSERT_TRUE(button.attach(win.button));
    clear();
    EXPECT_NE(SendMessageA(win.button, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.get()), 0),
              0);
    EXPECT_EQ(at(3, 3), BACKDROP);
}

TEST_F(BitmapButtonTest, ParentsDrawItemReachesTheButtonObject) {
    Window win;
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = 100;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ODS_FOCUS;
    draw.hwndItem = win.button;
    draw.hDC = target.get();
    draw.rcItem = RECT{0, 0, W, H};
    auto sendToParent = [&] {
        return SendMessageA(win.parent.hwnd(), WM_DRAWITEM, 100, reinterpret_cast<LPARAM>(&draw));
    };
    clear();
    EXPECT_EQ(sendToParent(), FALSE);  // a button without an object: nobody draws it
    EXPECT_EQ(at(5, 5), BACKDROP);
    BitmapButton button(&normal, &focus);
    ASSERT_TRUE(button.attach(win.button));
    EXPECT_EQ(sendToParent(), TRUE);
    EXPECT_EQ(at(5, 5), FOCUS);
}

TEST_F(BitmapButtonTest, ShowsItsPictureOnScreen) {
    Window win;
    BitmapButton button(&normal, &focus);
    ASSERT_TRUE(button.attach(win.button));
    SetForegroundWindow(win.parent.hwnd());
    SetFocus(win.button);
    InvalidateRect(win.button, nullptr, TRUE);
    // The focused picture reaches the window once the focus has (the wait pumps messages).
    std::uint32_t seen = 0;
    testing_support::waitUntil(
        [&] { return (seen = testing_support::captureClient(win.button).at(4, 4)) == FOCUS; });
    EXPECT_EQ(seen, FOCUS);
}

}  // namespace
