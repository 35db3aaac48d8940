#pragma once
// The ArpkLayer stream: "ARPK", unpackedSize (int32), the escape byte E, then tokens:
//   c (c != E)            the byte c
//   E E                   the byte E
//   E k b (10 <= k <= 255) b repeated k - 5 times
//   E k offset length     (k <= 9) a copy of earlier output at an absolute position;
//                         offset has k % 5 bytes (at least 1), length k / 5 + 1 bytes.
#include <cstddef>
#include <cstdint>

inline constexpr char ARPK_MAGIC[4] = {'A', 'R', 'P', 'K'};
inline constexpr std::size_t ARPK_MAGIC_OFFSET = 0;
inline constexpr std::size_t ARPK_SIZE_OFFSET = 4;
inline constexpr std::size_t ARPK_ESCAPE_OFFSET = 8;
inline constexpr std::size_t ARPK_TOKENS_OFFSET = 9;

inline constexpr int ARPK_MAX_COPY_CODE = 9;
inline constexpr int ARPK_MIN_RUN_CODE = 10;
inline constexpr int ARPK_RUN_BIAS = 5;  // a run code k repeats its byte k - 5 times
inline constexpr int ARPK_MIN_RUN = ARPK_MIN_RUN_CODE - ARPK_RUN_BIAS;
inline constexpr int ARPK_MAX_RUN = 255 - ARPK_RUN_BIAS;
inline constexpr std::size_t ARPK_BUFFER = 32768;
inline constexpr std::uint32_t ARPK_MAX_COPY = 65535;

inline int arpkOffsetBytes(int k) {
    return k % 5 == 0 ? 1 : k % 5;
}
inline int arpkLengthBytes(int k) {
    return k / 5 + 1;
}

// The decoder keeps the first output bytes in memory so that copies from them need no file
// access; the encoder prefers those sources (their offsets are short). It also keeps the last
// ARPK_WINDOW bytes; a copy from neither costs a read of the temporary file, which the
// encoder allows only for long copies.
inline constexpr std::size_t ARPK_HEAD_CACHE = 8u << 20;
inline constexpr std::size_t ARPK_WINDOW = 4u << 20;
// The window serves a copy of length n from offset at output position p when
// offset + ARPK_WINDOW >= p + max(n, ARPK_WINDOW_MARGIN): short copies move this many bytes.
inline constexpr std::size_t ARPK_WINDOW_MARGIN = 32;

// Packages that decode to this much or more are extracted while they are decoded, on two
// threads. Smaller ones decode in a few milliseconds: they are decoded whole first, so that a
// broken one writes no file at all.
inline constexpr std::size_t ARPK_OVERLAP_MIN = 1u << 20;
// Their reads and write-outs go in units of this size.
inline constexpr std::size_t ARPK_FEED_UNIT = 128u << 10;
