#pragma once
// CRC-32 (the zip polynomial): the PNG writer's chunk checks; tests compare files by it.
#include <array>
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

inline std::uint32_t crc32(const std::string& data) {
    const auto& table = crc32Table();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) crc = table[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

}  // namespace platform
