#pragma once
// CRC-32 (the zip polynomial): the PNG writer's chunk checks; tests compare files by it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// A byte at a time through a table: a page's picture is most of a megabyte.
inline const std::array<std::uint32_t, 256>& crc32Table() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            t[n] = c;
        }
        return t;
    }();
    return table;
}

// crc of what came before (0 at the start) carried on over n more bytes.
inline std::uint32_t crc32(const char* data, std::size_t n, std::uint32_t crc = 0) {
    const auto& table = crc32Table();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

inline std::uint32_t crc32(const std::string& data) {
    return crc32(data.data(), data.size());
}

}  // namespace platform
