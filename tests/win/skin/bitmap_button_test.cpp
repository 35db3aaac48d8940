#include <gtest/gtest.h>

#include "fw/gdi.h"
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
        selection = std::make_unique<fw::Selection>(target.get(), surface.get());
    }
    void TearDown() override { selection.reset(); }
    void clear() {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) SetPixel(target.get(), x, y, RGB(0x77, 0x77, 0x77));
    }
    std::uint32_t at(int x, int y) { return rgbOf(GetPixel(target.get(), x, y)); }

    ScratchDir dir;
    BitmapImage normal, focus;
    fw::MemoryDc target;
    fw::Bitmap surface;
    std::unique_ptr<fw::Selection> selection;
};

// What DrawItem paints, by state and by the pictures the button has.
TEST_F(BitmapButtonTest, PaintsByFocusAndPress) {
    auto backdrop = [](int, int) { return BACKDROP; };
    struct Case {
        const char* name;
        bool pictures;
        UINT action;
        UINT state;
        std::function<std::uint32_t(int, int)> expected;
    } cases[] = {
        {"plain", true, ODA_DRAWENTIRE, 0, normalColour},
        {"pressed without focus", true, ODA_DRAWENTIRE, ODS_SELECTED, normalColour},
        {"focused", true, ODA_DRAWENTIRE, ODS_FOCUS, [](int, int) { return FOCUS; }},
        {"pressed and focused", true, ODA_DRAWENTIRE, ODS_FOCUS | ODS_SELECTED,
         [](int x, int y) {
             // Shifted one pixel; the first row and column stay from the first copy.
             return x == 0 || y == 0 ? normalColour(x, y) : normalColour(x - 1, y - 1);
         }},
        {"not a whole drawing", true, 0, ODS_FOCUS, backdrop},
        {"no pictures", false, ODA_DRAWENTIRE, ODS_FOCUS, backdrop},
    };
    BitmapButton button(&normal, &focus), empty(nullptr, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clear();
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_BUTTON;
        draw.itemAction = c.action;
        draw.itemState = c.state;
        draw.hDC = target.get();
        draw.rcItem = RECT{0, 0, W, H};
        (c.pictures ? button : empty).DrawItem(draw);
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (at(x, y) != c.expected(x, y) && ++wrong < 4)
                    ADD_FAILURE() << x << "," << y << " " << std::hex << at(x, y);
        EXPECT_EQ(wrong, 0);
    }
}

// A button of a plain window of ours taken over: it never erases, its parent's WM_DRAWITEM
// reaches it only once it has an object, and its focused picture reaches the screen.
TEST_F(BitmapButtonTest, DrawsOnItsWindow) {
    fw::Window parent;
    ASSERT_TRUE(parent.create("SkinTestParent", "skin", WS_POPUP | WS_VISIBLE,
                              RECT{50, 50, 150, 110}, nullptr));
    HWND item = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, W, H,
                                parent.hwnd(), reinterpret_cast<HMENU>(100),
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(item, nullptr);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = 100;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = ODS_FOCUS;
    draw.hwndItem = item;
    draw.hDC = target.get();
    draw.rcItem = RECT{0, 0, W, H};
    auto sendToParent = [&] {
        return SendMessageA(parent.hwnd(), WM_DRAWITEM, 100, reinterpret_cast<LPARAM>(&draw));
    };
    clear();
    EXPECT_EQ(sendToParent(), FALSE);  // a button without an object: nobody draws it
    EXPECT_EQ(at(5, 5), BACKDROP);

    BitmapButton button(&normal, &focus);
    ASSERT_TRUE(button.attach(item));
    EXPECT_NE(SendMessageA(item, WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.get()), 0), 0);
    EXPECT_EQ(at(3, 3), BACKDROP);
    EXPECT_EQ(sendToParent(), TRUE);
    EXPECT_EQ(at(5, 5), FOCUS);

    SetForegroundWindow(parent.hwnd());
    SetFocus(item);
    InvalidateRect(item, nullptr, TRUE);
    // The focused picture reaches the window once the focus has (the wait pumps messages).
    std::uint32_t seen = 0;
    testing_support::waitUntil(
        [&] { return (seen = testing_support::captureClient(item).at(4, 4)) == FOCUS; });
    EXPECT_EQ(seen, FOCUS) << std::hex << seen;
}

}  // namespace
