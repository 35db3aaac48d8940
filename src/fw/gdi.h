#pragma once
// Owners of GDI objects and drawing surfaces: each frees or gives back what it holds.
#include <windows.h>

#include "platform/win32/handle_win.h"

namespace fw {

using Font = platform::win32::Owner<HFONT, &::DeleteObject>;
using Brush = platform::win32::Owner<HBRUSH, &::DeleteObject>;
using Bitmap = platform::win32::Owner<HBITMAP, &::DeleteObject>;
// A region handed to SetWindowRgn belongs to the window: release() it then.
using Region = platform::win32::Owner<HRGN, &::DeleteObject>;
using MemoryDc = platform::win32::Owner<HDC, &::DeleteDC>;

// A 32-bit picture of w x h, top row first, whose pixels are at *bits; null when none.
inline Bitmap topDownPicture(HDC dc, int w, int h, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return Bitmap(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

// Keeps an object selected into a surface and puts the previous one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint .. EndPaint of a WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// The drawing surface of a window's client area outside of WM_PAINT (to measure text).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace fw
