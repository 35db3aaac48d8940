#include "archive/archive_writer.h"

#include <cstring>
#include <limits>

#include "archive/byte_reader.h"
#include "archive/file_archive_format.h"

bool buildArchiveHead(const std::vector<ArchiveEntryInfo>& entries, std::string& out,
                      std::string& error) {
    if (entries.size() < static_cast<std::size_t>(FA_MIN_FILES) ||
        entries.size() > static_cast<std::size_t>(FA_MAX_FILES)) {
        error = "an archive holds 1 to 1024 files, not " + std::to_string(entries.size());
        return false;
    }
    std::uint64_t dataStart = FA_HEADER_SIZE + FA_RECORD_SIZE * entries.size();
    std::uint64_t total = 0;
    for (const ArchiveEntryInfo& e : entries) {
        if (e.name.size() + 1 > static_cast<std::size_t>(FA_MAX_NAME) || !isSafeEntryName(e.name)) {
            error = "unusable file name: " + e.name;
            return false;
        }
        dataStart += e.name.size() + 1;
        total += e.size;
        if (e.size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) break;
    }
    if (dataStart + total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        error = "the archive would exceed 2 GB";
        return false;
    }
    out.assign(FILE_ARCHIVE_MAGIC, 4);
    appendLE32(out, static_cast<std::uint32_t>(total));
    appendLE32(out, static_cast<std::uint32_t>(entries.size()));
    std::uint64_t offset = dataStart;
    for (const ArchiveEntryInfo& e : entries) {
        appendLE32(out, static_cast<std::uint32_t>(offset));
        appendLE32(out, static_cast<std::uint32_t>(e.size));
        appendLE32(out, static_cast<std::uint32_t>(e.name.size() + 1));
        appendLE32(out, static_cast<std::uint32_t>(e.accessTime));
        appendLE32(out, static_cast<std::uint32_t>(e.modifyTime));
        offset += e.size;
    }
    for (const ArchiveEntryInfo& e : entries) out.append(e.name.c_str(), e.name.size() + 1);
    return true;
}

bool buildFileArchive(const std::vector<ArchiveEntry>& entries, std::string& out,
                      std::string& error) {
    std::vector<ArchiveEntryInfo> infos;
    std::uint64_t total = 0;
    for (const ArchiveEntry& e : entries) {
        infos.push_back({e.name, e.data.size(), e.accessTime, e.modifyTime});
        total += e.data.size();
    }
    if (!buildArchiveHead(infos, out, error)) return false;
    out.reserve(out.size() + total);
    for (const ArchiveEntry& e : entries) out += e.data;
    return true;
}

bool listFileArchive(const std::string& bytes, std::int32_t& totalSize,
                     std::vector<ListedEntry>& entries, std::string& error) {
    auto data = reinterpret_cast<const unsigned char*>(bytes.data());
    ByteReader reader(data, bytes.size());
    unsigned char magic[4];
    std::int32_t count = 0;
    if (!reader.readBytes(magic, 4) || std::memcmp(magic, FILE_ARCHIVE_MAGIC, 4) != 0) {
        error = "not a FileArchive";
        return false;
    }
    if (!reader.readI32(totalSize) || !reader.readI32(count) || count < FA_MIN_FILES ||
        count > FA_MAX_FILES) {
        error = "bad file count";
        return false;
    }
    std::vector<DirectoryRecord> records(count);
    for (DirectoryRecord& r : records) {
        unsigned char raw[FA_RECORD_SIZE];
        if (!reader.readBytes(raw, FA_RECORD_SIZE)) {
            error = "directory cut short";
            return false;
        }
        r = parseDirectoryRecord(raw);
    }
    entries.clear();
    for (const DirectoryRecord& r : records) {
        unsigned char raw[FA_MAX_NAME];
        if (r.nameLength <= 0 || r.nameLength > FA_MAX_NAME ||
            !reader.readBytes(raw, static_cast<std::size_t>(r.nameLength))) {
            error = "bad name length";
            return false;
        }
        ListedEntry e;
        if (extractEntryName(raw, static_cast<std::size_t>(r.nameLength), e.name) !=
            NameCheck::Ok) {
            error = "unusable file name: " + e.name;
            return false;
        }
        e.dataOffset = r.dataOffset;
        e.dataSize = r.dataSize;
        e.accessTime = r.accessTime;
        e.modifyTime = r.modifyTime;
        entries.push_back(e);
    }
    return true;
}
