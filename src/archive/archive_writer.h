#pragma once
// Building and reading the directory of FileArchive files (authoring and listing).
#include <cstdint>
#include <string>
#include <vector>

struct ArchiveEntry {
    std::string name;  // relative, with backslashes
    std::string data;
    std::int32_t accessTime = 0;
    std::int32_t modifyTime = 0;
};

// A file to be stored, known by its size before its bytes are read.
struct ArchiveEntryInfo {
    std::string name;  // relative, with backslashes
    std::uint64_t size = 0;
    std::int32_t accessTime = 0;
    std::int32_t modifyTime = 0;
};

// The header, directory and names of an archive whose data follows them in entry order.
// Returns false (with a reason) when the entries do not fit the format, before any data.
bool buildArchiveHead(const std::vector<ArchiveEntryInfo>& entries, std::string& head,
                      std::string& error);

// The archive bytes: header, directory, names, then the data in entry order. Returns false
// (with a reason) when the entries do not fit the format.
bool buildFileArchive(const std::vector<ArchiveEntry>& entries, std::string& out,
                      std::string& error);

struct ListedEntry {
    std::string name;
    std::int32_t dataOffset = 0, dataSize = 0, accessTime = 0, modifyTime = 0;
};

// Reads the header, directory and names of archive bytes; false (with a reason) when they
// are not a well-formed FileArchive.
bool listFileArchive(const std::string& bytes, std::int32_t& totalSize,
                     std::vector<ListedEntry>& entries, std::string& error);
