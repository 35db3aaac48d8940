#pragma once
// Writes small Windows bitmap files for the skin and configuration tests.
#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

// A 24-bit bottom-up BMP file; colour(x, y) is 0xRRGGBB with y = 0 the top row.
std::string bmpFile(int width, int height,
                    const std::function<std::uint32_t(int x, int y)>& colour);
inline std::string solidBmp(int width, int height, std::uint32_t rgb) {
    return bmpFile(width, height, [rgb](int, int) { return rgb; });
}

}  // namespace testing_support
