#pragma once
// Little-endian numbers in byte buffers, read with bounds checks: a read past the end fails
// and leaves the value untouched.
#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
public:
    ByteReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool readU32(std::uint32_t& out) {
        if (size_ - pos_ < 4 || pos_ > size_) return false;
        const unsigned char* p = data_ + pos_;
        out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
              static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        pos_ += 4;
        return true;
    }
    bool readI32(std::int32_t& out) {
        std::uint32_t v;
        if (!readU32(v)) return false;
        out = static_cast<std::int32_t>(v);
        return true;
    }
    bool readBytes(unsigned char* out, std::size_t n) {
        if (pos_ > size_ || size_ - pos_ < n) return false;
        for (std::size_t i = 0; i < n; ++i) out[i] = data_[pos_ + i];
        pos_ += n;
        return true;
    }
    std::size_t position() const { return pos_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

inline void appendLE32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
