#include "platform/png_writer.h"

#include <algorithm>

#include "platform/crc32.h"

namespace platform {

namespace {
void putBig32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift & 0xFF);
}

void putChunk(std::string& out, const char* type, const std::string& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    out += typed;
    putBig32(out, crc32(typed));
}

std::uint32_t adler32(const std::string& data) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::string storedZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
        bool last = pos + n == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(n & 0xFF);
        out += static_cast<char>(n >> 8);
        out += static_cast<char>(~n & 0xFF);
        out += static_cast<char>(~n >> 8 & 0xFF);
        out.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    putBig32(out, adler32(raw));
    return out;
}
}  // namespace

std::string pngFile(int width, int height, const std::vector<std::uint32_t>& pixels) {
    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            raw += static_cast<char>(p >> 16 & 0xFF);
            raw += static_cast<char>(p >> 8 & 0xFF);
            raw += static_cast<char>(p & 0xFF);
        }
    }
    std::string header;
    putBig32(header, static_cast<std::uint32_t>(width));
    putBig32(header, static_cast<std::uint32_t>(height));
    header +=
        std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    std::string out = "\x89PNG\r\n\x1a\n";
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", "");
    return out;
}

}  // namespace platform
