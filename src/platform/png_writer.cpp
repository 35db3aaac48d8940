#include "platform/png_writer.h"

#include <algorithm>

#include "platform/crc32.h"

namespace platform {

namespace {
void putBig32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(v >> shift & 0xFF);
}

// A chunk is written in place: its length goes in front of the type once its data is there.
void startChunk(std::string& out, const char* type) {
    putBig32(out, 0);
    out.append(type, 4);
}

void endChunk(std::string& out, std::size_t typeAt) {
    const std::size_t length = out.size() - typeAt - 4;
    for (int i = 0; i < 4; ++i)
        out[typeAt - 4 + i] = static_cast<char>(length >> (24 - 8 * i) & 0xFF);
    putBig32(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// Sums kept below 2^32 between the reductions: 5552 bytes at most (zlib's bound).
std::uint32_t adler32(const char* data, std::size_t n) {
    std::uint32_t a = 1, b = 0;
    while (n > 0) {
        const std::size_t run = std::min<std::size_t>(n, 5552);
        for (std::size_t i = 0; i < run; ++i) {
            a += static_cast<unsigned char>(data[i]);
            b += a;
        }
        a %= 65521;
        b %= 65521;
        data += run;
        n -= run;
    }
    return b << 16 | a;
}

// A zlib stream of stored (uncompressed) deflate blocks: a page's picture is written in a few
// milliseconds, and its size does not matter here.
void putStoredZlib(std::string& out, const std::string& raw) {
    out += "\x78\x01";
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
    putBig32(out, adler32(raw.data(), raw.size()));
}
}  // namespace

std::string pngFile(int width, int height, const std::vector<std::uint32_t>& pixels) {
    const std::size_t rowBytes = 1 + 3 * static_cast<std::size_t>(width);
    std::string raw(static_cast<std::size_t>(height) * rowBytes, '\0');  // filter: none
    for (int y = 0; y < height; ++y) {
        char* row = raw.data() + y * rowBytes + 1;
        const std::uint32_t* p = pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<char>(p[x] >> 16 & 0xFF);
            row[3 * x + 1] = static_cast<char>(p[x] >> 8 & 0xFF);
            row[3 * x + 2] = static_cast<char>(p[x] & 0xFF);
        }
    }
    std::string out = "\x89PNG\r\n\x1a\n";
    out.reserve(raw.size() + raw.size() / 65535 * 5 + 128);
    startChunk(out, "IHDR");
    std::size_t at = out.size() - 4;
    putBig32(out, static_cast<std::uint32_t>(width));
    putBig32(out, static_cast<std::uint32_t>(height));
    // 8 bits, RGB, deflate, no filter, no interlace
    out.append("\x08\x02\x00\x00\x00", 5);
    endChunk(out, at);
    startChunk(out, "IDAT");
    at = out.size() - 4;
    putStoredZlib(out, raw);
    endChunk(out, at);
    startChunk(out, "IEND");
    endChunk(out, out.size() - 4);
    return out;
}

}  // namespace platform
