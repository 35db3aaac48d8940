#pragma once
// CRC-32 (the zip polynomial): the PNG writer's chunk checks; tests compare files by it.
#include <cstdint>
#include <string>

namespace platform {

inline std::uint32_t crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

}  // namespace platform
