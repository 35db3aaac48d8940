#include "archive/package_extractor.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "archive/archive_progress.h"
#include "archive/archive_session.h"
#include "archive/arpk_decoder.h"
#include "archive/arpk_format.h"
#include "archive/byte_reader.h"
#include "archive/file_archive_format.h"

namespace {

const char* const TEMP_ARCHIVE_NAME = "_temp.arh";
const char* const IO_ERROR = "i/o error in file %s\n";

bool isAbsolutePath(const std::string& p) {
    return (!p.empty() && platform::isSeparator(p[0])) || (p.size() >= 2 && p[1] == ':');
}

std::string withTrailingSeparator(std::string p) {
    if (p.empty() || !platform::isSeparator(p.back())) p += '\\';
    return p;
}

// Marks the session active for the length of one extraction.
class SessionScope {
public:
    explicit SessionScope(const platform::System& system) {
        archiveSession().reset();
        archiveSession().system = system;
        archiveSession().active = true;
    }
    ~SessionScope() { archiveSession().reset(); }
};

// On every way out of a layer: no display, the working directory as it was.
class LayerFinish {
public:
    ~LayerFinish() {
        endArchiveProgress();
        ArchiveSession& s = archiveSession();
        if (s.active) s.system.fs->setCurrentFolder(s.savedDirectory);
    }
};

struct Entry {
    DirectoryRecord record;
    std::string name;
};

// A path as the Windows file system compares it: either separator, any case, "." and ".."
// components and doubled separators resolved.
std::string comparablePath(const std::string& p) {
    std::string out;  // starts with "" when rooted, else a drive or a first name
    out.reserve(p.size());
    std::size_t pos = 0, base = std::string::npos;
    for (;;) {
        std::size_t next = pos;
        while (next < p.size() && !platform::isSeparator(p[next])) ++next;
        std::string part = p.substr(pos, next - pos);
        for (char& c : part)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (base == std::string::npos) {
            out = part;
            base = out.size();
        } else if (part == "..") {
            if (out.size() > base) out.resize(out.rfind('\\'));
        } else if (!part.empty() && part != ".") {
            out += '\\';
            out += part;
        }
        if (next >= p.size()) break;
        pos = next + 1;
    }
    return out;
}

// An entry whose output would be the archive being read (a compressed package holding
// "_temp.arh", a package unpacked into its own folder holding its own name) would truncate
// it: the rest of the package would be lost. Such a name is refused like any unsafe one.
int refuseOwnArchive(const std::vector<Entry>& entries, const std::string& dest,
                     const std::string& archivePath, const std::string& callFolder) {
    auto absolute = [&](const std::string& p) {
        return isAbsolutePath(p) ? p : withTrailingSeparator(callFolder) + p;
    };
    const std::string archive = comparablePath(absolute(archivePath)), folder = absolute(dest);
    for (const Entry& e : entries)
        if (comparablePath(folder + "\\" + e.name) == archive)
            return archiveFailure(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n",
                                  e.name);
    return ARCHIVE_OK;
}

int copyData(std::FILE* archive, std::FILE* out, const Entry& e, const std::string& archivePath,
             const std::string& outPath, unsigned char* buffer, std::int64_t& written,
             std::int64_t& lastStep, std::int32_t totalSize) {
    if (std::fseek(archive, e.record.dataOffset, SEEK_SET) != 0)
        return archiveFailure(ARCHIVE_ERR_IO, "Seek error");
    std::int64_t remaining = e.record.dataSize;
    while (remaining > 0) {
        std::size_t chunk =
            remaining < static_cast<std::int64_t>(FA_COPY_BUFFER) ? remaining : FA_COPY_BUFFER;
        if (std::fread(buffer, 1, chunk, archive) != chunk)
            return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, archivePath);
        if (std::fwrite(buffer, 1, chunk, out) != chunk)
            return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, outPath);
        remaining -= static_cast<std::int64_t>(chunk);
        written += static_cast<std::int64_t>(chunk);
        std::int64_t step = written / static_cast<std::int64_t>(FA_COPY_BUFFER);
        if (step != lastStep) {
            lastStep = step;
            stepArchiveProgress(written / 3, totalSize, 66);
        }
    }
    return ARCHIVE_OK;
}

// Reads the directory and every name; a bad name fails before anything is written.
int readDirectory(std::FILE* archive, int fileCount, const std::string& archivePath,
                  std::vector<Entry>& entries) {
    std::vector<unsigned char> records(FA_RECORD_SIZE * fileCount);
    if (std::fread(records.data(), 1, records.size(), archive) != records.size())
        return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, archivePath);
    entries.resize(fileCount);
    for (int i = 0; i < fileCount; ++i)
        entries[i].record = parseDirectoryRecord(records.data() + FA_RECORD_SIZE * i);

    unsigned char nameBytes[FA_MAX_NAME];
    for (Entry& e : entries) {
        std::int32_t length = e.record.nameLength;
        if (length <= 0) return archiveFailure(ARCHIVE_ERR_INVALID, "Empty file name in archive\n");
        if (length > FA_MAX_NAME)
            return archiveFailure(ARCHIVE_ERR_INVALID, "File name too long in archive\n");
        if (std::fread(nameBytes, 1, length, archive) != static_cast<std::size_t>(length))
            return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, archivePath);
        switch (extractEntryName(nameBytes, length, e.name)) {
            case NameCheck::Ok: break;
            case NameCheck::Empty:
                return archiveFailure(ARCHIVE_ERR_INVALID, "Empty file name in archive\n");
            case NameCheck::TooLong:
                return archiveFailure(ARCHIVE_ERR_INVALID, "File name too long in archive\n");
            case NameCheck::Unterminated:
            case NameCheck::Unsafe:
                return archiveFailure(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n",
                                      e.name);
        }
    }
    return ARCHIVE_OK;
}

int extractEntry(platform::FileSystem& fs, std::FILE* archive, const Entry& e,
                 const std::string& dest, const std::string& archivePath, unsigned char* buffer,
                 std::int64_t& written, std::int64_t& lastStep, std::int32_t totalSize) {
    std::string outPath = dest + e.name;
    for (std::size_t i = 0; i < e.name.size(); ++i)
        if (platform::isSeparator(e.name[i])) fs.createFolder(e.name.substr(0, i));
    platform::FilePtr out = fs.openFile(outPath, "wb");
    if (!out) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't write %s\n", outPath);
    int r =
        copyData(archive, out.get(), e, archivePath, outPath, buffer, written, lastStep, totalSize);
    if (r != ARCHIVE_OK) return r;
    // A failing close loses buffered bytes: a full disk, as a short write would be.
    if (std::fclose(out.release()) != 0) return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, outPath);
    fs.setFileTimes(outPath, e.record.accessTime, e.record.modifyTime);
    return ARCHIVE_OK;
}

}  // namespace

int extractFileArchive(const std::string& archivePath, const std::string& destination) {
    ArchiveSession& session = archiveSession();
    platform::FileSystem& fs = *session.system.fs;
    LayerFinish finish;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[FA_COPY_BUFFER]);
    if (!buffer) return archiveFailure(ARCHIVE_ERR_MEMORY, "Out of memory");
    std::string dest = withTrailingSeparator(destination);

    platform::FilePtr archive = fs.openFile(archivePath, "rb");
    if (!archive) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't read %s\n", archivePath);
    unsigned char header[FA_HEADER_SIZE];
    if (std::fread(header, 1, 4, archive.get()) != 4)
        return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, archivePath);
    if (std::memcmp(header + FA_MAGIC_OFFSET, FILE_ARCHIVE_MAGIC, 4) != 0)
        return archiveFailure(ARCHIVE_ERR_INVALID, "Incorrect archive header");
    if (std::fread(header + 4, 1, FA_HEADER_SIZE - 4, archive.get()) != FA_HEADER_SIZE - 4)
        return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, archivePath);
    std::int32_t totalSize = 0, fileCount = 0;
    ByteReader reader(header + FA_TOTAL_SIZE_OFFSET, FA_HEADER_SIZE - FA_TOTAL_SIZE_OFFSET);
    reader.readI32(totalSize);
    reader.readI32(fileCount);
    if (fileCount < FA_MIN_FILES || fileCount > FA_MAX_FILES)
        return archiveFailure(ARCHIVE_ERR_INVALID, "Invalid nr of files in archive");

    std::string callFolder;
    fs.currentFolder(callFolder);
    fs.createFolder(dest);
    if (!fs.setCurrentFolder(dest))
        return archiveFailure(ARCHIVE_ERR_IO, "Could not access subdirectory %s", dest);

    std::vector<Entry> entries;
    int r = readDirectory(archive.get(), fileCount, archivePath, entries);
    if (r == ARCHIVE_OK) r = refuseOwnArchive(entries, dest, archivePath, callFolder);
    if (r != ARCHIVE_OK) return r;

    beginArchiveProgress(session.system);
    setArchiveProgressText("Processing APK files...", totalSize);
    std::int64_t written = 0, lastStep = -1;
    for (const Entry& e : entries) {
        r = extractEntry(fs, archive.get(), e, dest, archivePath, buffer.get(), written, lastStep,
                         totalSize);
        if (r != ARCHIVE_OK) return r;
    }
    return ARCHIVE_OK;
}

int extractPackage(const std::string& packagePath, const std::string& destination,
                   const platform::System& system) {
    SessionScope scope(system);
    ArchiveSession& session = archiveSession();
    if (!system.fs->currentFolder(session.savedDirectory))
        return archiveFailure(ARCHIVE_ERR_IO, "Cannot determine current directory");
    // The working directory changes while we work; a relative destination means the one
    // relative to the directory of the call.
    std::string dest = destination;
    if (!isAbsolutePath(dest)) dest = withTrailingSeparator(session.savedDirectory) + dest;

    char magic[4] = {};
    std::size_t got = 0;
    if (platform::FilePtr f = system.fs->openFile(packagePath, "rb"))
        got = std::fread(magic, 1, sizeof magic, f.get());
    if (got != sizeof magic || std::memcmp(magic, ARPK_MAGIC, sizeof magic) != 0)
        return extractFileArchive(packagePath, dest);

    std::string tempPath = withTrailingSeparator(dest) + TEMP_ARCHIVE_NAME;
    system.fs->createFolder(dest);
    int r = unpackArpk(packagePath, tempPath);
    if (r == ARCHIVE_OK) r = extractFileArchive(tempPath, dest);
    system.fs->deleteFile(tempPath);
    return r;
}
