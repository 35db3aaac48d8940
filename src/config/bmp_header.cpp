#include "config/bmp_header.h"

#include <limits>

namespace {

// BITMAPFILEHEADER
constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::size_t OFF_MAGIC = 0;
constexpr std::size_t OFF_PIXEL_OFFSET = 10;
// BITMAPINFOHEADER and its successors, relative to the end of the file header
constexpr std::size_t OFF_INFO_SIZE = 0;
constexpr std::size_t OFF_WIDTH = 4;
constexpr std::size_t OFF_HEIGHT = 8;
constexpr std::size_t OFF_PLANES = 12;
constexpr std::size_t OFF_BIT_COUNT = 14;
constexpr std::size_t OFF_COMPRESSION = 16;
// BITMAPCOREHEADER (OS/2): 16-bit sizes
constexpr std::uint32_t CORE_HEADER_SIZE = 12;
constexpr std::size_t OFF_CORE_WIDTH = 4;
constexpr std::size_t OFF_CORE_HEIGHT = 6;
constexpr std::size_t OFF_CORE_PLANES = 8;
constexpr std::size_t OFF_CORE_BIT_COUNT = 10;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t MAX_INFO_HEADER_SIZE = 124;

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

// Little-endian reads that refuse to go past the end of the buffer.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}
    bool u16(std::size_t at, std::uint16_t& out) const {
        if (at > length_ || length_ - at < 2) return false;
        out = static_cast<std::uint16_t>(data_[at] | data_[at + 1] << 8);
        return true;
    }
    bool u32(std::size_t at, std::uint32_t& out) const {
        if (at > length_ || length_ - at < 4) return false;
        out = static_cast<std::uint32_t>(data_[at]) |
              static_cast<std::uint32_t>(data_[at + 1]) << 8 |
              static_cast<std::uint32_t>(data_[at + 2]) << 16 |
              static_cast<std::uint32_t>(data_[at + 3]) << 24;
        return true;
    }
    bool i32(std::size_t at, std::int32_t& out) const {
        std::uint32_t v;
        if (!u32(at, v)) return false;
        out = static_cast<std::int32_t>(v);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t length_;
};

bool fail(std::string& error, const char* why) {
    error = why;
    return false;
}

}  // namespace

bool readBmpHeader(const std::uint8_t* data, std::size_t length, std::uint64_t fileSize,
                   BmpInfo& info, std::string& error) {
    ByteReader r(data, length);
    std::uint16_t magic = 0;
    if (!r.u16(OFF_MAGIC, magic)) return fail(error, "file too short for a bitmap header");
    if (magic != 0x4D42) return fail(error, "not a bitmap (no BM signature)");
    std::uint32_t pixelOffset = 0, infoSize = 0;
    if (!r.u32(OFF_PIXEL_OFFSET, pixelOffset) || !r.u32(FILE_HEADER_SIZE + OFF_INFO_SIZE, infoSize))
        return fail(error, "file too short for a bitmap header");

    BmpInfo out;
    std::uint16_t planes = 0, bits = 0;
    const std::size_t h = FILE_HEADER_SIZE;
    if (infoSize == CORE_HEADER_SIZE) {
        std::uint16_t w16 = 0, h16 = 0;
        if (!r.u16(h + OFF_CORE_WIDTH, w16) || !r.u16(h + OFF_CORE_HEIGHT, h16) ||
            !r.u16(h + OFF_CORE_PLANES, planes) || !r.u16(h + OFF_CORE_BIT_COUNT, bits))
            return fail(error, "truncated bitmap header");
        out.width = w16;
        out.height = h16;
    } else if (infoSize >= INFO_HEADER_SIZE && infoSize <= MAX_INFO_HEADER_SIZE) {
        std::int32_t w = 0, hh = 0;
        if (!r.i32(h + OFF_WIDTH, w) || !r.i32(h + OFF_HEIGHT, hh) ||
            !r.u16(h + OFF_PLANES, planes) || !r.u16(h + OFF_BIT_COUNT, bits) ||
            !r.u32(h + OFF_COMPRESSION, out.compression))
            return fail(error, "truncated bitmap header");
        if (hh == std::numeric_limits<std::int32_t>::min()) return fail(error, "bad height");
        out.width = w;
        out.topDown = hh < 0;
        out.height = hh < 0 ? -hh : hh;
    } else {
        return fail(error, "unknown bitmap header size");
    }
    if (planes != 1) return fail(error, "bitmap must have one plane");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(error, "unsupported bits per pixel");
    if (out.width <= 0 || out.height <= 0) return fail(error, "bitmap has no pixels");
    out.bitsPerPixel = bits;

    const bool rle = out.compression == BI_RLE8 || out.compression == BI_RLE4;
    if (out.compression != BI_RGB && out.compression != BI_BITFIELDS && !rle)
        return fail(error, "unsupported compression");
    if (pixelOffset < FILE_HEADER_SIZE + infoSize || pixelOffset > fileSize)
        return fail(error, "pixel data offset outside the file");
    if (!rle) {
        // Rows are padded to four bytes; the pixels must all be in the file.
        std::uint64_t stride = (static_cast<std::uint64_t>(out.width) * bits + 31) / 32 * 4;
        std::uint64_t need = stride * static_cast<std::uint64_t>(out.height);
        if (need > fileSize - pixelOffset) return fail(error, "pixel data truncated");
    }
    out.pixelOffset = pixelOffset;
    info = out;
    return true;
}
