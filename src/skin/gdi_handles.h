#pragma once
// Owners of the GDI handles the skin code makes, beside those of platform/win32.
#include <windows.h>

#include "platform/win32/handle_win.h"

namespace skin {

struct MemoryDcTraits {
    using Type = HDC;
    static Type invalid() { return nullptr; }
    static void close(Type h) { ::DeleteDC(h); }
};
using MemoryDc = platform::win32::UniqueHandle<MemoryDcTraits>;

// A region, a bitmap, a brush: anything freed with DeleteObject.
using GdiObject = platform::win32::GdiObject;

// Keeps an object selected into a context and puts the previous one back.
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

}  // namespace skin
