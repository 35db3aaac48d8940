#pragma once
// The screen's scale as the windows meet it. The program declares itself DPI-aware (per
// monitor where Windows offers it); every function newer than XP is looked up at run time.
#include <windows.h>

#include <optional>

#include "fw/gdi.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace fw {

// Per monitor (v2, else v1), else system-wide; nothing on XP without large fonts' support.
// The manifest says the same; this covers a system that did not read it.
void enableDpiAwareness();
// The dots per inch of the screen as a whole (LOGPIXELSY), as the process first sees it (after
// enableDpiAwareness): fixed for its life.
int systemDpi();
// The window's own: GetDpiForWindow where it exists, else the system's.
int windowDpi(HWND window);
// The lowest window of a dialog: the dialog manager's own automatic scaling on a DPI change
// is turned off where it exists, as the window lays itself out.
void layOutOwnDpiChanges(HWND dialog);
// A copy of font made for dpi; null when dpi is the system's (the font already fits).
Font fontForDpi(HFONT font, int dpi);

// Whether the pages draw in the system colours: Windows' high-contrast setting, unless a
// setting forced one answer (a test, or a system that does not report it).
bool highContrast();
void forceHighContrast(std::optional<bool> on);

}  // namespace fw
