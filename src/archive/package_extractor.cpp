#include "archive/package_extractor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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
const int TEMP_ATTEMPTS = 100;
const char* const IO_ERROR = "i/o error in file %s\n";

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

bool isKept(const std::vector<platform::FileIdentity>& keep, const platform::FileIdentity& id) {
    return std::find(keep.begin(), keep.end(), id) != keep.end();
}

// An entry whose output is a file being read (the package, its temporary decoded archive),
// reached by any spelling, link or short name, would truncate it and lose the rest of the
// package: refused before anything is written.
int refuseKeptFiles(const std::vector<Entry>& entries, platform::OutputFolder& folder,
                    const std::vector<platform::FileIdentity>& keep) {
    for (const Entry& e : entries) {
        platform::FileIdentity id;
        if (folder.identity(e.name, id) && isKept(keep, id))
            return archiveFailure(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n",
                                  e.name);
    }
    return ARCHIVE_OK;
}

// Each file's bytes are stored once in an honest package. Records sharing data would let a
// small package fill the disk many times over (a thousand records on one region): refused.
int refuseSharedData(const std::vector<Entry>& entries) {
    std::vector<const Entry*> stored;
    for (const Entry& e : entries)
        if (e.record.dataSize > 0) stored.push_back(&e);
    std::sort(stored.begin(), stored.end(), [](const Entry* a, const Entry* b) {
        return a->record.dataOffset < b->record.dataOffset;
    });
    std::int64_t end = INT64_MIN;
    for (const Entry* e : stored) {
        if (e->record.dataOffset < end)
            return archiveFailure(ARCHIVE_ERR_INVALID, "Overlapping file data in archive: %s\n",
                                  e->name);
        end = std::max(end, std::int64_t{e->record.dataOffset} + e->record.dataSize);
    }
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

int extractEntry(platform::OutputFolder& folder, std::FILE* archive, const Entry& e,
                 const std::string& dest, const std::string& archivePath,
                 const std::vector<platform::FileIdentity>& keep, unsigned char* buffer,
                 std::int64_t& written, std::int64_t& lastStep, std::int32_t totalSize) {
    std::string outPath = dest + e.name;
    // Folders are made on the way; a link already in the destination is never written through.
    platform::FilePtr out = folder.createFile(e.name, false, keep);
    if (!out) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't write %s\n", outPath);
    int r =
        copyData(archive, out.get(), e, archivePath, outPath, buffer, written, lastStep, totalSize);
    if (r != ARCHIVE_OK) return r;
    // A failing close loses buffered bytes: a full disk, as a short write would be.
    if (std::fclose(out.release()) != 0) return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, outPath);
    folder.setFileTimes(e.name, e.record.accessTime, e.record.modifyTime);
    return ARCHIVE_OK;
}

// Extracts a FileArchive; keep holds files that no entry may replace (the package).
int extractArchive(const std::string& archivePath, const std::string& destination,
                   std::vector<platform::FileIdentity> keep) {
    ArchiveSession& session = archiveSession();
    platform::FileSystem& fs = *session.system.fs;
    LayerFinish finish;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[FA_COPY_BUFFER]);
    if (!buffer) return archiveFailure(ARCHIVE_ERR_MEMORY, "Out of memory");
    std::string dest = withTrailingSeparator(destination);

    platform::FilePtr archive = fs.openFile(archivePath, "rb");
    if (!archive) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't read %s\n", archivePath);
    platform::FileIdentity archiveId;
    if (platform::identityOf(archive.get(), archiveId)) keep.push_back(archiveId);
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

    fs.createFolder(dest);
    // Opened before the working directory moves: a relative destination is the caller's.
    std::unique_ptr<platform::OutputFolder> folder = fs.openOutputFolder(dest);
    if (!folder || !fs.setCurrentFolder(dest))
        return archiveFailure(ARCHIVE_ERR_IO, "Could not access subdirectory %s", dest);

    std::vector<Entry> entries;
    int r = readDirectory(archive.get(), fileCount, archivePath, entries);
    if (r == ARCHIVE_OK) r = refuseSharedData(entries);
    if (r == ARCHIVE_OK) r = refuseKeptFiles(entries, *folder, keep);
    if (r != ARCHIVE_OK) return r;

    beginArchiveProgress(session.system);
    setArchiveProgressText("Processing APK files...", totalSize);
    std::int64_t written = 0, lastStep = -1;
    for (const Entry& e : entries) {
        r = extractEntry(*folder, archive.get(), e, dest, archivePath, keep, buffer.get(), written,
                         lastStep, totalSize);
        if (r != ARCHIVE_OK) return r;
    }
    return ARCHIVE_OK;
}

// Creates the temporary file of a compressed package in the destination: "_temp.arh", or
// "_temp1.arh" and so on when that name is taken, always a new file, never through a link.
platform::FilePtr createTemporary(const std::string& dest,
                                  const std::vector<platform::FileIdentity>& keep,
                                  std::string& tempPath, platform::FileIdentity& tempId) {
    const std::string base = withTrailingSeparator(dest);
    tempPath = base + TEMP_ARCHIVE_NAME;
    std::unique_ptr<platform::OutputFolder> folder =
        archiveSession().system.fs->openOutputFolder(dest);
    if (!folder) return nullptr;
    for (int n = 0; n < TEMP_ATTEMPTS; ++n) {
        std::string name = n == 0 ? TEMP_ARCHIVE_NAME : "_temp" + std::to_string(n) + ".arh";
        errno = 0;
        platform::FilePtr f = folder->createFile(name, true, keep, &tempId);
        if (f) {
            tempPath = base + name;
            return f;
        }
        if (errno != EEXIST) break;
    }
    return nullptr;
}

}  // namespace

int extractFileArchive(const std::string& archivePath, const std::string& destination) {
    return extractArchive(archivePath, destination, {});
}

int extractPackage(const std::string& packagePath, const std::string& destination,
                   const platform::System& system) {
    SessionScope scope(system);
    ArchiveSession& session = archiveSession();
    if (!system.fs->currentFolder(session.savedDirectory))
        return archiveFailure(ARCHIVE_ERR_IO, "Cannot determine current directory");

    char magic[4] = {};
    std::size_t got = 0;
    std::vector<platform::FileIdentity> keep;
    // Held open to the end: a file deleted meanwhile keeps its identity from being reused.
    platform::FilePtr package = system.fs->openFile(packagePath, "rb");
    if (package) {
        got = std::fread(magic, 1, sizeof magic, package.get());
        platform::FileIdentity id;
        if (platform::identityOf(package.get(), id)) keep.push_back(id);
    }
    if (got != sizeof magic || std::memcmp(magic, ARPK_MAGIC, sizeof magic) != 0)
        return extractArchive(packagePath, destination, keep);

    system.fs->createFolder(destination);
    std::string tempPath;
    platform::FileIdentity tempId;
    platform::FilePtr temp = createTemporary(destination, keep, tempPath, tempId);
    if (!temp) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't write %s\n", tempPath);
    int r = unpackArpk(packagePath, std::move(temp), tempPath);
    keep.push_back(tempId);
    if (r == ARCHIVE_OK) r = extractArchive(tempPath, destination, keep);
    system.fs->deleteFile(tempPath);
    return r;
}
