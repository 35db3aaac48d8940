#pragma once
// Reads the headers of a Windows bitmap file without any system call, so that setuptool can
// tell a skin's size and whether it is a valid bitmap on any system.
#include <cstddef>
#include <cstdint>
#include <string>

struct BmpInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t pixelOffset = 0;
};

// Parses the file header and the info header from the start of a file. fileSize is the
// whole file's size (the pixels must fit in it). False with a reason in error otherwise.
bool readBmpHeader(const std::uint8_t* data, std::size_t length, std::uint64_t fileSize,
                   BmpInfo& info, std::string& error);

// The number of bytes read from the start of a file that readBmpHeader needs at most.
inline constexpr std::size_t BMP_HEADER_READ_SIZE = 14 + 124;
