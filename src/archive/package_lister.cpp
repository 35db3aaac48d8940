#include "archive/package_lister.h"

#include <algorithm>
#include <cstring>

#include "archive/archive_result.h"
#include "archive/arpk_format.h"
#include "archive/byte_reader.h"
#include "archive/file_archive_format.h"
#include "archive/name_clash.h"

namespace {

const char* const IO_ERROR = "i/o error in file %s\n";

// The first bytes of the archive inside a package, fetched on demand.
class Head {
public:
    Head(std::FILE* f, const std::string& path, bool compressed)
        : f_(f), path_(path), compressed_(compressed) {}
    // Makes at least n bytes available; false (with code and message) when there are not.
    bool ensure(std::size_t n);
    const unsigned char* data() const {
        return reinterpret_cast<const unsigned char*>(bytes_.data());
    }
    int code = 0;
    std::string message;

private:
    bool fail(int c, const char* format, const std::string& argument = {}) {
        code = c;
        message = archiveError(c, format, argument).message;
        return false;
    }
    int readByte() {
        int c = std::fgetc(f_);
        if (c == EOF) {
            ended_ = true;
            return 0;  // missing bytes of a token read as 0
        }
        return c;
    }
    std::uint32_t readNumber(int width) {
        std::uint32_t v = 0;
        for (int i = 0; i < width; ++i) v |= static_cast<std::uint32_t>(readByte()) << (8 * i);
        return v;
    }
    bool start();
    bool decodeToken();
    bool append(std::size_t n, int byte) {
        if (static_cast<std::int64_t>(bytes_.size() + n) > declared_)
            return fail(ARCHIVE_ERR_IO, "Incomplete archive!");
        bytes_.append(n, static_cast<char>(byte));
        return true;
    }

    std::FILE* f_;
    const std::string& path_;
    bool compressed_, started_ = false, ended_ = false;
    int escape_ = 0;
    std::int64_t declared_ = 0;
    std::string bytes_;
};

bool Head::start() {
    started_ = true;
    std::fseek(f_, static_cast<long>(ARPK_SIZE_OFFSET), SEEK_SET);
    declared_ = static_cast<std::int32_t>(readNumber(4));
    escape_ = readByte();
    return true;
}

// One token of the stream, with the decoder's bounds and messages.
bool Head::decodeToken() {
    int c = readByte();
    if (ended_) return true;
    if (c != escape_) return append(1, c);
    int k = readByte();
    if (k == escape_) return append(1, escape_);
    if (k >= ARPK_MIN_RUN_CODE) {
        int b = readByte();
        return append(static_cast<std::size_t>(k - ARPK_RUN_BIAS), b);
    }
    std::int64_t offset = static_cast<std::int32_t>(readNumber(arpkOffsetBytes(k)));
    std::int64_t length = readNumber(arpkLengthBytes(k));
    std::int64_t produced = static_cast<std::int64_t>(bytes_.size());
    if (produced + length > declared_ || offset + length > produced)
        return fail(ARCHIVE_ERR_INVALID, "Bad escape sequence in %s", path_);
    if (offset < 0) return fail(ARCHIVE_ERR_IO, "Seek error in %s", path_);
    std::size_t at = bytes_.size(), n = static_cast<std::size_t>(length);
    bytes_.resize(at + n);
    std::memcpy(&bytes_[at], &bytes_[static_cast<std::size_t>(offset)], n);  // wholly before
    return true;
}

bool Head::ensure(std::size_t n) {
    if (!compressed_) {
        while (bytes_.size() < n) {
            char buffer[4096];
            std::size_t want = std::min(sizeof buffer, n - bytes_.size());
            std::size_t got = std::fread(buffer, 1, want, f_);
            bytes_.append(buffer, got);
            if (got < want) return fail(ARCHIVE_ERR_IO, IO_ERROR, path_);
        }
        return true;
    }
    if (!started_ && !start()) return false;
    while (bytes_.size() < n) {
        // At the declared size only the end of the stream is right (a further token fails
        // as past that size): the archive is then shorter than its directory.
        bool complete = static_cast<std::int64_t>(bytes_.size()) == declared_;
        if (!decodeToken()) return false;
        if (ended_)
            return complete ? fail(ARCHIVE_ERR_IO, IO_ERROR, path_)
                            : fail(ARCHIVE_ERR_IO, "Incomplete archive!");
    }
    return true;
}

int readListing(Head& head, PackageListing& out) {
    if (!head.ensure(FA_HEADER_SIZE)) return head.code;
    const unsigned char* p = head.data();
    if (std::memcmp(p + FA_MAGIC_OFFSET, FILE_ARCHIVE_MAGIC, 4) != 0) {
        head.message = "Incorrect archive header";
        return ARCHIVE_ERR_INVALID;
    }
    std::int32_t count = 0;
    ByteReader(p + FA_TOTAL_SIZE_OFFSET, 4).readI32(out.totalSize);
    ByteReader(p + FA_FILE_COUNT_OFFSET, 4).readI32(count);
    if (count < FA_MIN_FILES || count > FA_MAX_FILES) {
        head.message = "Invalid nr of files in archive";
        return ARCHIVE_ERR_INVALID;
    }
    std::size_t namesAt = FA_HEADER_SIZE + FA_RECORD_SIZE * static_cast<std::size_t>(count);
    if (!head.ensure(namesAt)) return head.code;
    std::vector<DirectoryRecord> records(static_cast<std::size_t>(count));
    std::size_t namesEnd = namesAt;
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i] = parseDirectoryRecord(head.data() + FA_HEADER_SIZE + FA_RECORD_SIZE * i);
        std::int32_t length = records[i].nameLength;
        if (length <= 0 || length > FA_MAX_NAME) {
            head.message =
                length <= 0 ? "Empty file name in archive\n" : "File name too long in archive\n";
            return ARCHIVE_ERR_INVALID;
        }
        namesEnd += static_cast<std::size_t>(length);
    }
    if (!head.ensure(namesEnd)) return head.code;
    std::size_t at = namesAt;
    for (const DirectoryRecord& r : records) {
        ListedEntry e;
        std::size_t length = static_cast<std::size_t>(r.nameLength);
        NameCheck check = extractEntryName(head.data() + at, length, e.name);
        at += length;
        if (check == NameCheck::Empty) {
            head.message = "Empty file name in archive\n";
            return ARCHIVE_ERR_INVALID;
        }
        if (check != NameCheck::Ok) {
            head.message =
                archiveError(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n", e.name)
                    .message;
            return ARCHIVE_ERR_INVALID;
        }
        e.dataOffset = r.dataOffset;
        e.dataSize = r.dataSize;
        e.accessTime = r.accessTime;
        e.modifyTime = r.modifyTime;
        out.entries.push_back(std::move(e));
    }
    std::vector<std::string> names;
    for (const ListedEntry& e : out.entries) names.push_back(e.name);
    std::size_t first = 0, second = 0;
    if (findNameClash(names, first, second)) {
        head.message = archiveError(ARCHIVE_ERR_INVALID, NAME_CLASH_FORMAT,
                                    clashArgument(names[first], names[second]))
                           .message;
        return ARCHIVE_ERR_INVALID;
    }
    return ARCHIVE_OK;
}

}  // namespace

int listPackage(platform::FileSystem& fs, const std::string& packagePath, PackageListing& out,
                std::string& message) {
    out = PackageListing();
    platform::FilePtr f = fs.openRegularFile(packagePath);
    if (!f) {
        message = archiveError(ARCHIVE_ERR_OPEN, "Can't read %s\n", packagePath).message;
        return ARCHIVE_ERR_OPEN;
    }
    char magic[4] = {};
    out.compressed =
        std::fread(magic, 1, 4, f.get()) == 4 && std::memcmp(magic, ARPK_MAGIC, 4) == 0;
    std::rewind(f.get());
    Head head(f.get(), packagePath, out.compressed);
    int r = readListing(head, out);
    message = r == ARCHIVE_OK ? std::string() : head.message;
    if (r != ARCHIVE_OK) out.entries.clear();
    return r;
}
