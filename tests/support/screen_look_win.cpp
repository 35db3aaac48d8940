#include "support/screen_look_win.h"

#include "fw/dpi.h"

namespace testing_support {

namespace {
COLORREF colourRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
constexpr int ELEMENTS[] = {COLOR_WINDOW,  COLOR_WINDOWTEXT, COLOR_BTNFACE,
                            COLOR_BTNTEXT, COLOR_HIGHLIGHT,  COLOR_HIGHLIGHTTEXT};
}  // namespace

ColouredDesktop::ColouredDesktop() {
    brush_ = ::CreateSolidBrush(colourRef(RGB_COLOUR));
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = "TestColouredDesktop";
    ::RegisterClassA(&wc);
    window_ = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(window_);
}

ColouredDesktop::~ColouredDesktop() {
    ::DestroyWindow(window_);
    ::UnregisterClassA("TestColouredDesktop", ::GetModuleHandleA(nullptr));
    ::DeleteObject(brush_);
}

HighContrastScheme::HighContrastScheme() {
    const std::uint32_t scheme[COUNT] = {WINDOW,      WINDOW_TEXT, BUTTON_FACE,
                                         BUTTON_TEXT, HIGHLIGHT,   HIGHLIGHT_TEXT};
    COLORREF colours[COUNT];
    for (int i = 0; i < COUNT; ++i) {
        saved_[i] = ::GetSysColor(ELEMENTS[i]);
        colours[i] = colourRef(scheme[i]);
    }
    ::SetSysColors(COUNT, ELEMENTS, colours);
    fw::forceHighContrast(true);
}

HighContrastScheme::~HighContrastScheme() {
    fw::forceHighContrast(std::nullopt);
    ::SetSysColors(COUNT, ELEMENTS, saved_);
}

}  // namespace testing_support
