#pragma once
// Turns a picture into a window region: the pixels that are not of the key colour (mode
// nonzero) or those that are (mode zero). The caller owns the region; SetWindowRgn takes it.
#include <windows.h>

#include <cstdint>

#include "fw/gdi.h"

// keyColour is 0xRRGGBB. Only the width and height of target are used: the picture is cut at
// that size, smoothed when it is not its own. Empty on failure.
fw::Region regionFromBitmap(HBITMAP bitmap, const RECT& target, std::uint32_t keyColour, int mode);
// The same for a loaded skin picture, whose bitmap already sits in its own memory context
// (a bitmap can be selected into one context only).
class BitmapImage;
fw::Region regionFromBitmap(const BitmapImage* image, const RECT& target, std::uint32_t keyColour,
                            int mode);
