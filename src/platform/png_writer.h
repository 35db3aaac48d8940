#pragma once
// Writes pictures (the preview's pages, test screenshots) as PNG files: 24-bit colour, no filter,
// zlib with stored blocks, so that no compression library is needed (the files are larger, which
// does not matter here).
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// pixels: width * height values 0xRRGGBB, the top row first.
std::string pngFile(int width, int height, const std::vector<std::uint32_t>& pixels);

}  // namespace platform
