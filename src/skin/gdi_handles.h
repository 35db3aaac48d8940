#pragma once
// The GDI owners the skin code uses: those of fw/gdi.h, and an untyped object owner.
#include <windows.h>

#include "fw/gdi.h"
#include "platform/win32/handle_win.h"

namespace skin {

using MemoryDc = fw::MemoryDc;
// A region, a bitmap, a brush: anything freed with DeleteObject.
using GdiObject = platform::win32::GdiObject;
using Selection = fw::Selection;

}  // namespace skin
