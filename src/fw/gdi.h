#pragma once
// Owners of GDI objects and drawing surfaces: each frees or gives back what it holds.
#include <windows.h>

#include "platform/win32/handle_win.h"

namespace fw {

template <typename Handle>
struct GdiTraits {
    using Type = Handle;
    static Type invalid() { return nullptr; }
    static void close(Type h) { ::DeleteObject(h); }
};
using Font = platform::win32::UniqueHandle<GdiTraits<HFONT>>;
using Brush = platform::win32::UniqueHandle<GdiTraits<HBRUSH>>;
using Bitmap = platform::win32::UniqueHandle<GdiTraits<HBITMAP>>;
// A region handed to SetWindowRgn belongs to the window: release() it then.
using Region = platform::win32::UniqueHandle<GdiTraits<HRGN>>;

struct MemoryDcTraits {
    using Type = HDC;
    static Type invalid() { return nullptr; }
    static void close(Type h) { ::DeleteDC(h); }
};
using MemoryDc = platform::win32::UniqueHandle<MemoryDcTraits>;

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
    const RECT& area() const { return paint_.rcPaint; }

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
