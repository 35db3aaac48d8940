#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "config/bmp_header.h"
#include "support/bmp_writer.h"

namespace {

std::string patched(std::string s, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) s.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
    return s;
}

bool read(const std::string& file, BmpInfo& info, std::string& error) {
    return readBmpHeader(reinterpret_cast<const std::uint8_t*>(file.data()),
                         std::min(file.size(), BMP_HEADER_READ_SIZE), file.size(), info, error);
}

TEST(BmpHeader, ValidFiles) {
    const std::string good = testing_support::solidBmp(7, 3, 0x123456);
    struct Case {
        const char* name;
        std::string file;
        int width, height;
        bool topDown;
    } cases[] = {
        {"24-bit bottom-up", good, 7, 3, false},
        {"top-down", patched(good, 22, static_cast<std::uint32_t>(-3), 4), 7, 3, true},
        {"extra bytes after the pixels", good + "tail", 7, 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpInfo info;
        std::string error;
        ASSERT_TRUE(read(c.file, info, error)) << error;
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.topDown, c.topDown);
        EXPECT_EQ(info.bitsPerPixel, 24);
        EXPECT_EQ(info.pixelOffset, 54u);
    }
}

TEST(BmpHeader, CoreHeader) {
    // The old 12-byte header with 16-bit sizes: 2 x 2, 24 bits, rows of 8 bytes.
    std::string f = "BM";
    f += std::string("\x2A\0\0\0\0\0\0\0\x1A\0\0\0", 12);
    f += std::string("\x0C\0\0\0\x02\0\x02\0\x01\0\x18\0", 12);
    f += std::string(16, '\x7F');
    BmpInfo info;
    std::string error;
    ASSERT_TRUE(read(f, info, error)) << error;
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.height, 2);
}

TEST(BmpHeader, RejectsBrokenFiles) {
    const std::string good = testing_support::solidBmp(7, 3, 0x123456);
    struct Case {
        const char* name;
        std::string file;
        const char* error;
    } cases[] = {
        {"empty", "", "file too short for a bitmap header"},
        {"signature", "XY" + good.substr(2), "not a bitmap (no BM signature)"},
        {"cut in the header", good.substr(0, 30), "truncated bitmap header"},
        {"pixels cut", good.substr(0, good.size() - 1), "pixel data truncated"},
        {"header size", patched(good, 14, 20, 4), "unknown bitmap header size"},
        {"zero width", patched(good, 18, 0, 4), "bitmap has no pixels"},
        {"negative width", patched(good, 18, static_cast<std::uint32_t>(-7), 4),
         "bitmap has no pixels"},
        {"smallest height", patched(good, 22, 0x80000000u, 4), "bad height"},
        {"planes", patched(good, 26, 2, 2), "bitmap must have one plane"},
        {"bit count", patched(good, 28, 7, 2), "unsupported bits per pixel"},
        {"compression", patched(good, 30, 4, 4), "unsupported compression"},
        {"offset beyond file", patched(good, 10, 100000, 4), "pixel data offset outside the file"},
        {"offset inside header", patched(good, 10, 20, 4), "pixel data offset outside the file"},
        {"huge size", patched(patched(good, 18, 0x7FFFFFFF, 4), 22, 0x7FFFFFFF, 4),
         "pixel data truncated"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpInfo info;
        std::string error;
        EXPECT_FALSE(read(c.file, info, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(info.width, 0);
    }
}

}  // namespace
