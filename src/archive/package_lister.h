#pragma once
// The directory of a package without unpacking it: the header, the records and the names,
// read (and for a compressed package decoded) no further than where the names end. Nothing is
// written anywhere: no temporary file, no "errors.txt".
#include <cstdint>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "platform/file_system.h"

struct PackageListing {
    bool compressed = false;
    std::int32_t totalSize = 0;
    std::vector<ListedEntry> entries;
};

// 0, or a negative archive code with the unpacker's message for it in message.
int listPackage(platform::FileSystem& fs, const std::string& packagePath, PackageListing& out,
                std::string& message);

// The largest directory a package can have: header, 1024 records and 1024 names of 512 bytes.
inline constexpr std::size_t LISTING_MAX_HEAD = 12 + 20 * 1024 + 512 * 1024;
