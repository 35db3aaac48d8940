// The fonts of the test prefix draw every script of the eight-language disc: "Arial" of the
// pages and "Tahoma" of the message boxes, with what they lack drawn by their linked fonts.
// A character a font cannot draw comes out as the same empty box as a private-use character.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;

// The character drawn black on white in a 32 x 32 picture.
std::vector<std::uint32_t> drawn(const wchar_t* face, wchar_t c) {
    const int size = 32;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(nullptr, screen);
    HFONT font = ::CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                               NONANTIALIASED_QUALITY, 0, face);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    RECT r{0, 0, size, size};
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, &c, 1, &r, DT_NOPREFIX | DT_SINGLELINE);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB};
    std::vector<std::uint32_t> pixels(size * size);
    ::GetDIBits(dc, bitmap, 0, size, pixels.data(), &info, DIB_RGB_COLORS);
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(font);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

TEST(UnicodeFonts, ArialAndTahomaDrawEveryScriptOfTheDisc) {
    // A letter of each script on the disc, and one that appears only in its longer texts.
    const std::wstring letters = L"çłŁğşΩμέРуЖ日本語中文図ア";
    for (const wchar_t* face : {L"Arial", L"Tahoma"}) {
        const std::vector<std::uint32_t> box = drawn(face, L'\xE000');
        for (wchar_t c : letters) {
            char code[8];
            std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(c));
            EXPECT_TRUE(drawn(face, c) != box) << "U+" << code << " is drawn as a box";
        }
    }
}

}  // namespace
