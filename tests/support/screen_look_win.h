#pragma once
// What the window tests put around a window: a coloured backdrop behind everything (the
// colour no window under test has, seen where a shaped window is cut away), and a
// high-contrast scheme of unmistakable system colours, with the program's high-contrast
// setting forced on, restored when it goes.
#include <windows.h>

#include <cstdint>

namespace testing_support {

class ColouredDesktop {
public:
    static constexpr std::uint32_t RGB_COLOUR = 0x20A040;
    ColouredDesktop();
    ~ColouredDesktop();
    ColouredDesktop(const ColouredDesktop&) = delete;
    ColouredDesktop& operator=(const ColouredDesktop&) = delete;

private:
    HWND window_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// Wine does not report Windows' high-contrast mode (SPI_GETHIGHCONTRAST answers off whatever
// the registry says), so the program's setting is forced; the scheme's colours are set for
// real, so that the windows can only show them by asking the system.
class HighContrastScheme {
public:
    // 0xRRGGBB, as the captures read them.
    static constexpr std::uint32_t WINDOW = 0x102030, WINDOW_TEXT = 0xF0E010,
                                   BUTTON_FACE = 0x004848, BUTTON_TEXT = 0xFFFF80,
                                   HIGHLIGHT = 0x800080, HIGHLIGHT_TEXT = 0xFFFFFF;
    HighContrastScheme();
    ~HighContrastScheme();
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;

private:
    static constexpr int COUNT = 6;
    COLORREF saved_[COUNT]{};
};

}  // namespace testing_support
