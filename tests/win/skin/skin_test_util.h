#pragma once
// Helpers of the skin tests: pictures on disk, pixels read back as 0xRRGGBB.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "skin/bitmap_image.h"
#include "support/bmp_writer.h"
#include "support/fakes.h"

inline std::uint32_t rgbOf(COLORREF c) {
    return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// Writes the picture into dir and loads it as a BitmapImage.
inline bool loadPicture(BitmapImage& image, const testing_support::ScratchDir& dir,
                        const std::string& name, int w, int h,
                        const std::function<std::uint32_t(int, int)>& colour) {
    auto path = dir.write(name, testing_support::bmpFile(w, h, colour));
    return image.loadFromFile(path.string());
}
