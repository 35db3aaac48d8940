#pragma once
// The FileArchive layout: "KLIV", totalSize, fileCount, fileCount directory records, the
// names back to back, and the data anywhere behind them. All integers little-endian int32.
#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr char FILE_ARCHIVE_MAGIC[4] = {'K', 'L', 'I', 'V'};
inline constexpr std::size_t FA_MAGIC_OFFSET = 0;
inline constexpr std::size_t FA_TOTAL_SIZE_OFFSET = 4;
inline constexpr std::size_t FA_FILE_COUNT_OFFSET = 8;
inline constexpr std::size_t FA_HEADER_SIZE = 12;

inline constexpr std::size_t FA_RECORD_DATA_OFFSET = 0;
inline constexpr std::size_t FA_RECORD_DATA_SIZE = 4;
inline constexpr std::size_t FA_RECORD_NAME_LENGTH = 8;
inline constexpr std::size_t FA_RECORD_ACCESS_TIME = 12;
inline constexpr std::size_t FA_RECORD_MODIFY_TIME = 16;
inline constexpr std::size_t FA_RECORD_SIZE = 20;

inline constexpr int FA_MIN_FILES = 1;
inline constexpr int FA_MAX_FILES = 1024;
inline constexpr int FA_MAX_NAME = 512;  // bytes, terminating zero included
inline constexpr std::size_t FA_COPY_BUFFER = 32768;

struct DirectoryRecord {
    std::int32_t dataOffset = 0;
    std::int32_t dataSize = 0;
    std::int32_t nameLength = 0;
    std::int32_t accessTime = 0;
    std::int32_t modifyTime = 0;
};

// Decodes one 20-byte record.
DirectoryRecord parseDirectoryRecord(const unsigned char* bytes);

enum class NameCheck { Ok, Empty, TooLong, Unterminated, Unsafe };

// Takes the name out of its nameLength bytes (up to the first zero byte).
NameCheck extractEntryName(const unsigned char* bytes, std::size_t length, std::string& name);

// True when the name stays inside the destination and Windows can create it: not empty,
// relative, no ':' (drive letters, streams), no control byte nor any of * ? " < > |, no "."
// or ".." component (nor one Windows would trim to it), no empty component, and no reserved
// device name such as CON, NUL, COM1 or COM followed by a superscript digit.
bool isSafeEntryName(const std::string& name);
