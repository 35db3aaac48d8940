#include "archive/package_extractor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "archive/archive_progress.h"
#include "archive/arpk_decoder.h"
#include "archive/arpk_format.h"
#include "archive/byte_reader.h"
#include "archive/decode_feed.h"
#include "archive/file_archive_format.h"
#include "archive/name_clash.h"
#include "platform/code_page.h"
#include "platform/text_encoding.h"

namespace {

const char* const TEMP_ARCHIVE_NAME = "_temp.arh";
const int TEMP_ATTEMPTS = 100;
const char* const IO_ERROR = "i/o error in file %s\n";
// An output whose place holds a link, a device, a pipe or a file with further names.
const char* const IN_THE_WAY = "Can't write %s: a link or special file is in the way\n";

std::string withTrailingSeparator(std::string p) {
    if (p.empty() || !platform::isSeparator(p.back())) p += '\\';
    return p;
}

// On every way out of the extractor: no display. An extractor on a worker leaves the display
// to the main thread. (The working directory stays where a failure found it, for its log:
// the package operation puts it back.)
class LayerFinish {
public:
    explicit LayerFinish(DecodeFeed* feed) : feed_(feed) {}
    ~LayerFinish() {
        if (!feed_) endArchiveProgress();
    }

private:
    DecodeFeed* feed_;
};

// The archive as the extractor reads it: the directory in order, then each file's data at its
// place. Alone it reads the archive file. Beside the decoder it reads the directory from the
// decoder's ring, then the data from the ring as it is decoded when the files follow each
// other, else from the temporary file as the decoder writes it.
class ArchiveInput {
public:
    ArchiveInput(std::FILE* file, const std::string& path, ArchiveContext& context,
                 DecodeFeed* feed)
        : file_(file), path_(path), context_(context), feed_(feed), ring_(feed != nullptr) {}
    // 0; a quiet ARCHIVE_STOPPED when the decoder failed; or a short read, a failure.
    int read(void* dst, std::size_t n) {
        auto* to = static_cast<unsigned char*>(dst);
        if (ring_)
            return fromRing(n, [&](const unsigned char* p, std::size_t m) {
                std::memcpy(to, p, m);
                to += m;
                return ARCHIVE_OK;
            });
        if (int r = await(n)) return r;
        if (std::fread(dst, 1, n, file_) != n)
            return context_.fail(ARCHIVE_ERR_IO, IO_ERROR, path_);
        pos_ += static_cast<std::int64_t>(n);
        return ARCHIVE_OK;
    }
    std::int64_t position() const { return pos_; }
    // From here on the data is read from the temporary file.
    void leaveRing() { ring_ = false; }
    // Where the data reads go on; the directory is not read after this, and with the ring
    // never a place before the last.
    int seek(std::int64_t pos) {
        if (pos < 0) return context_.fail(ARCHIVE_ERR_IO, "Seek error");
        pos_ = pos;
        return ARCHIVE_OK;
    }
    // Hands the next n bytes to sink(bytes, count) in pieces of at most chunk, through buffer
    // where they are not in memory already.
    template <typename Sink>
    int transfer(std::int64_t n, unsigned char* buffer, std::size_t chunk, Sink sink) {
        if (ring_) return fromRing(n, sink, chunk);
        while (n > 0) {
            std::size_t m =
                n < static_cast<std::int64_t>(chunk) ? static_cast<std::size_t>(n) : chunk;
            if (int r = await(m)) return r;
            if (!platform::readAt(file_, pos_, buffer, m))
                return context_.fail(ARCHIVE_ERR_IO, IO_ERROR, path_);
            pos_ += static_cast<std::int64_t>(m);
            n -= static_cast<std::int64_t>(m);
            if (int r = sink(buffer, m)) return r;
        }
        return ARCHIVE_OK;
    }

private:
    int await(std::size_t n) const {
        if (feed_ && !feed_->waitFor(pos_ + static_cast<std::int64_t>(n))) return ARCHIVE_STOPPED;
        return ARCHIVE_OK;
    }
    // The ring's pieces of [pos_, pos_ + n) as the decoder publishes them; their slots are
    // given back once the sink has them.
    template <typename Sink>
    int fromRing(std::int64_t n, Sink sink, std::size_t most = ARPK_FEED_UNIT) {
        feed_->consumed(pos_);
        while (n > 0) {
            const std::int64_t ready =
                feed_->waitPublished(pos_ + std::min<std::int64_t>(n, ARPK_FEED_UNIT));
            if (ready < 0) return ARCHIVE_STOPPED;
            // Decoding ended before these bytes: the archive is shorter than its directory.
            if (ready <= pos_) return context_.fail(ARCHIVE_ERR_IO, IO_ERROR, path_);
            const std::size_t size = feed_->ringSize();
            const std::size_t at = static_cast<std::size_t>(pos_) & (size - 1);
            const std::size_t m = static_cast<std::size_t>(
                std::min({n, ready - pos_, static_cast<std::int64_t>(size - at),
                          static_cast<std::int64_t>(most)}));
            if (int r = sink(feed_->ring() + at, m)) return r;
            pos_ += static_cast<std::int64_t>(m);
            n -= static_cast<std::int64_t>(m);
            feed_->consumed(pos_);
        }
        return ARCHIVE_OK;
    }

    std::FILE* file_;
    const std::string& path_;
    ArchiveContext& context_;
    DecodeFeed* feed_;
    bool ring_;
    std::int64_t pos_ = 0;
};

// Where the extraction's progress goes: the display, or the main thread through the feed.
void reportExtracted(DecodeFeed* feed, std::int64_t written, std::int32_t totalSize) {
    if (feed)
        feed->extracted(written);
    else
        stepArchiveProgress(written / 3, totalSize, 66);
}

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
int refuseKeptFiles(ArchiveContext& context, const std::vector<Entry>& entries,
                    platform::OutputFolder& folder,
                    const std::vector<platform::FileIdentity>& keep) {
    for (const Entry& e : entries) {
        platform::FileIdentity id;
        if (folder.identity(e.name, id) && isKept(keep, id))
            return context.fail(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n", e.name);
    }
    return ARCHIVE_OK;
}

// Each file's bytes are stored once in an honest package. Records sharing data would let a
// small package fill the disk many times over (a thousand records on one region): refused.
int refuseSharedData(ArchiveContext& context, const std::vector<Entry>& entries) {
    std::vector<const Entry*> stored;
    for (const Entry& e : entries)
        if (e.record.dataSize > 0) stored.push_back(&e);
    std::sort(stored.begin(), stored.end(), [](const Entry* a, const Entry* b) {
        return a->record.dataOffset < b->record.dataOffset;
    });
    std::int64_t end = INT64_MIN;
    for (const Entry* e : stored) {
        if (e->record.dataOffset < end)
            return context.fail(ARCHIVE_ERR_INVALID, "Overlapping file data in archive: %s\n",
                                e->name);
        end = std::max(end, std::int64_t{e->record.dataOffset} + e->record.dataSize);
    }
    return ARCHIVE_OK;
}

// The running count of bytes written, and the progress report it makes.
struct Written {
    ArchiveContext& context;
    std::int64_t bytes = 0, lastStep = -1;
    std::int32_t totalSize = 0;
    DecodeFeed* feed = nullptr;
    std::size_t chunk = FA_COPY_BUFFER;
};

int copyData(ArchiveInput& archive, std::FILE* out, const Entry& e, const std::string& outPath,
             unsigned char* buffer, Written& written) {
    if (int r = archive.seek(e.record.dataOffset)) return r;
    if (e.record.dataSize <= 0) return ARCHIVE_OK;
    return archive.transfer(
        e.record.dataSize, buffer, written.chunk, [&](const unsigned char* p, std::size_t n) {
            if (std::fwrite(p, 1, n, out) != n)
                return written.context.fail(ARCHIVE_ERR_IO, IO_ERROR, outPath);
            written.bytes += static_cast<std::int64_t>(n);
            std::int64_t step = written.bytes / static_cast<std::int64_t>(FA_COPY_BUFFER);
            if (step != written.lastStep) {
                written.lastStep = step;
                reportExtracted(written.feed, written.bytes, written.totalSize);
            }
            return static_cast<int>(ARCHIVE_OK);
        });
}

constexpr std::size_t NO_REGION = SIZE_MAX;

// The files' data as regions, when each file's data follows the last one's and the
// directory: then the extractor reads them from the decoder's ring as they are decoded.
bool inOrder(const std::vector<Entry>& entries, std::int64_t directoryEnd,
             std::vector<DecodeFeed::Region>& regions) {
    std::int64_t end = directoryEnd;
    for (const Entry& e : entries) {
        if (e.record.dataSize <= 0) continue;
        if (e.record.dataOffset < end) return false;
        end = std::int64_t{e.record.dataOffset} + e.record.dataSize;
        regions.push_back(
            {e.record.dataOffset, end, e.name, e.record.accessTime, e.record.modifyTime});
    }
    return true;
}

// Reads the directory and every name; a bad name fails before anything is written.
int readDirectory(ArchiveContext& context, ArchiveInput& archive, int fileCount,
                  std::vector<Entry>& entries) {
    std::vector<unsigned char> records(FA_RECORD_SIZE * fileCount);
    if (int r = archive.read(records.data(), records.size())) return r;
    entries.resize(fileCount);
    for (int i = 0; i < fileCount; ++i)
        entries[i].record = parseDirectoryRecord(records.data() + FA_RECORD_SIZE * i);

    unsigned char nameBytes[FA_MAX_NAME];
    for (Entry& e : entries) {
        std::int32_t length = e.record.nameLength;
        if (length <= 0) return context.fail(ARCHIVE_ERR_INVALID, "Empty file name in archive\n");
        if (length > FA_MAX_NAME)
            return context.fail(ARCHIVE_ERR_INVALID, "File name too long in archive\n");
        if (int r = archive.read(nameBytes, static_cast<std::size_t>(length))) return r;
        switch (extractEntryName(nameBytes, length, e.name)) {
            case NameCheck::Ok: break;
            case NameCheck::Empty:
                return context.fail(ARCHIVE_ERR_INVALID, "Empty file name in archive\n");
            case NameCheck::TooLong:
                return context.fail(ARCHIVE_ERR_INVALID, "File name too long in archive\n");
            case NameCheck::Unterminated:
            case NameCheck::Unsafe:
                return context.fail(ARCHIVE_ERR_INVALID, "Invalid file name in archive: %s\n",
                                    e.name);
        }
    }
    return ARCHIVE_OK;
}

// Names Windows takes for one file would overwrite each other: the package is refused whole,
// as no package made on Windows holds two of them.
int refuseClashingNames(ArchiveContext& context, const std::vector<Entry>& entries) {
    std::vector<std::string> names;
    for (const Entry& e : entries) names.push_back(e.name);
    std::size_t first = 0, second = 0;
    if (!findNameClash(names, first, second)) return ARCHIVE_OK;
    return context.fail(ARCHIVE_ERR_INVALID, NAME_CLASH_FORMAT,
                        clashArgument(names[first], names[second]));
}

// The path a message names. An entry name holds the package's code-page bytes: joined to a
// destination held in UTF-8 beyond ASCII, it is converted, so the message is in one encoding.
std::string messagePath(const std::string& dest, const std::string& name) {
    bool wide = std::any_of(dest.begin(), dest.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (wide && platform::validUtf8(dest) == dest)
        return dest + platform::asUtf8(name, platform::TextEncoding::Ansi);
    return dest + name;
}

// region: the entry's place among the regions the decoder may read back from, or NO_REGION.
int extractEntry(platform::OutputFolder& folder, ArchiveInput& archive, const Entry& e,
                 const std::string& dest, const std::vector<platform::FileIdentity>& keep,
                 unsigned char* buffer, Written& written, std::size_t region) {
    std::string outPath = messagePath(dest, e.name);
    // Folders are made on the way; a link already in the destination is never written through.
    errno = 0;
    platform::FileIdentity id;
    platform::FilePtr out = folder.createFile(e.name, platform::CreateMode::Replace, keep, &id);
    if (!out)
        return written.context.fail(ARCHIVE_ERR_OPEN,
                                    errno == ELOOP ? IN_THE_WAY : "Can't write %s\n", outPath);
    // Chunks go to the file as they are: a stream buffer would only split them.
    std::setvbuf(out.get(), nullptr, _IONBF, 0);
    if (region != NO_REGION) written.feed->created(region, id);
    if (int r = copyData(archive, out.get(), e, outPath, buffer, written)) return r;
    // A failing close loses buffered bytes: a full disk, as a short write would be.
    if (std::fclose(out.release()) != 0)
        return written.context.fail(ARCHIVE_ERR_IO, IO_ERROR, outPath);
    folder.setFileTimes(e.name, e.record.accessTime, e.record.modifyTime);
    if (region != NO_REGION) written.feed->completed(region);
    return ARCHIVE_OK;
}

// Extracts a FileArchive; keep holds files that no entry may replace (the package). With a
// feed it runs on a worker while the decoder still writes the archive.
int extractArchive(const std::string& archivePath, const std::string& destination,
                   std::vector<platform::FileIdentity> keep, ArchiveContext& context,
                   DecodeFeed* feed = nullptr) {
    platform::FileSystem& fs = *context.system.fs;
    LayerFinish finish(feed);
    // The decoder opens its files before it publishes anything.
    if (feed && feed->waitPublished(FA_HEADER_SIZE) < 0) return ARCHIVE_STOPPED;
    // Larger chunks beside a decoder: the files of a large package, in fewer system calls.
    const std::size_t chunk = feed ? ARPK_FEED_UNIT : FA_COPY_BUFFER;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[chunk]);
    if (!buffer) return context.fail(ARCHIVE_ERR_MEMORY, "Out of memory");
    std::string dest = withTrailingSeparator(destination);

    platform::FilePtr archive = fs.openRegularFile(archivePath);
    if (!archive) return context.fail(ARCHIVE_ERR_OPEN, "Can't read %s\n", archivePath);
    platform::FileIdentity archiveId;
    if (platform::identityOf(archive.get(), archiveId)) keep.push_back(archiveId);
    ArchiveInput input(archive.get(), archivePath, context, feed);
    unsigned char header[FA_HEADER_SIZE];
    if (int r = input.read(header, 4)) return r;
    if (std::memcmp(header + FA_MAGIC_OFFSET, FILE_ARCHIVE_MAGIC, 4) != 0)
        return context.fail(ARCHIVE_ERR_INVALID, "Incorrect archive header");
    if (int r = input.read(header + 4, FA_HEADER_SIZE - 4)) return r;
    std::int32_t totalSize = 0, fileCount = 0;
    ByteReader reader(header + FA_TOTAL_SIZE_OFFSET, FA_HEADER_SIZE - FA_TOTAL_SIZE_OFFSET);
    reader.readI32(totalSize);
    reader.readI32(fileCount);
    if (fileCount < FA_MIN_FILES || fileCount > FA_MAX_FILES)
        return context.fail(ARCHIVE_ERR_INVALID, "Invalid nr of files in archive");

    fs.createFolder(dest);
    // Opened before the working directory moves: a relative destination is the caller's.
    std::unique_ptr<platform::OutputFolder> folder = fs.openOutputFolder(dest);
    if (!folder || !fs.setCurrentFolder(dest))
        return context.fail(ARCHIVE_ERR_IO, "Could not access subdirectory %s", dest);
    context.inDestination = true;

    std::vector<Entry> entries;
    int r = readDirectory(context, input, fileCount, entries);
    if (r == ARCHIVE_OK) r = refuseClashingNames(context, entries);
    if (r == ARCHIVE_OK) r = refuseSharedData(context, entries);
    if (r == ARCHIVE_OK) r = refuseKeptFiles(context, entries, *folder, keep);
    if (r != ARCHIVE_OK) return r;

    if (feed) {
        feed->startProcessing(totalSize);
    } else {
        beginArchiveProgress(context.system);
        setArchiveProgressText(ARCHIVE_PROCESSING_TEXT, totalSize);
    }
    Written written{context, 0, -1, totalSize, feed, chunk};
    std::vector<DecodeFeed::Region> regions;
    const bool ring = feed && inOrder(entries, input.position(), regions);
    if (feed && !ring) input.leaveRing();
    if (feed) feed->choose(ring ? DecodeFeed::Source::Ring : DecodeFeed::Source::File, regions);
    std::size_t region = 0;
    for (const Entry& e : entries) {
        const std::size_t index = ring && e.record.dataSize > 0 ? region++ : NO_REGION;
        if (int r = extractEntry(*folder, input, e, dest, keep, buffer.get(), written, index))
            return r;
    }
    return ARCHIVE_OK;
}

// The temporary file of a compressed package in the destination: "_temp.arh", or
// "_temp1.arh" and so on when that name is taken, always a new file, never through a link.
struct Temporary {
    std::unique_ptr<platform::OutputFolder> folder;
    std::string name, path;
    platform::FileIdentity id;
    platform::FilePtr create(platform::FileSystem& fs, const std::string& dest,
                             const std::vector<platform::FileIdentity>& keep) {
        const std::string base = withTrailingSeparator(dest);
        path = base + TEMP_ARCHIVE_NAME;
        folder = fs.openOutputFolder(dest);
        if (!folder) return nullptr;
        for (int n = 0; n < TEMP_ATTEMPTS; ++n) {
            name = n == 0 ? TEMP_ARCHIVE_NAME : "_temp" + std::to_string(n) + ".arh";
            errno = 0;
            platform::FilePtr f = folder->createFile(name, platform::CreateMode::New, keep, &id);
            if (f) {
                path = base + name;
                return f;
            }
            if (errno != EEXIST) break;
        }
        folder.reset();
        return nullptr;
    }
    // Only the file made here goes, never one that a link put in its place leads to.
    ~Temporary() {
        if (folder) folder->removeFile(name, id);
    }
};

// Decodes a large package and extracts its files at once, the extractor on a worker taking
// the decoded archive from the decoder's memory (or, for an archive whose files are out of
// order, from the temporary file) as it comes. Each side fails on a context of its own;
// the first failure of either stops both and becomes the context's. Nothing written is rolled
// back, as when the passes run one after the other; a package that fails late leaves the
// files before it.
int decodeAndExtract(const std::string& packagePath, platform::FilePtr temp,
                     const std::string& tempPath, const std::string& destination,
                     const std::vector<platform::FileIdentity>& keep,
                     platform::OutputFolder& outputs, ArchiveContext& context) {
    DecodeFeed feed;
    feed.outputs = &outputs;
    ArchiveContext extraction(context.system);
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                extractArchive(tempPath, destination, keep, extraction, &feed);
            } catch (const std::bad_alloc&) {
                // Logged where the caller works, as nothing is known of where it happened.
                extraction.fail(archiveError(ARCHIVE_ERR_MEMORY, "Out of memory"));
            }
            if (extraction.failed()) feed.hold(extraction.error);
            feed.finishExtracting();
        });
    } catch (const std::system_error&) {
        // No thread to be had: one pass after the other.
        int r = unpackArpk(packagePath, std::move(temp), tempPath, context);
        return r == ARCHIVE_OK ? extractArchive(tempPath, destination, keep, context) : r;
    }
    // Should the main thread's part throw, the worker stops and is waited for all the same.
    struct Join {
        DecodeFeed& feed;
        std::thread& worker;
        ~Join() {
            if (!worker.joinable()) return;
            feed.hold(archiveError(ARCHIVE_ERR_MEMORY, "Out of memory"));
            feed.finishDecoding();
            worker.join();
        }
    } join{feed, worker};
    int decoded = unpackArpk(packagePath, std::move(temp), tempPath, context, &feed);
    // Held before decoding is over: the extractor stops instead of reading on.
    if (context.failed()) feed.hold(context.error);
    feed.finishDecoding();
    if (decoded == ARCHIVE_OK) feed.followExtraction(context.system);
    worker.join();
    context.inDestination = extraction.inDestination;
    context.error = feed.held();
    return context.error.code;
}

}  // namespace

int extractPackageFiles(const std::string& packagePath, const std::string& destination,
                        ArchiveContext& context) {
    platform::FileSystem& fs = *context.system.fs;
    unsigned char head[ARPK_ESCAPE_OFFSET] = {};
    std::size_t got = 0;
    std::vector<platform::FileIdentity> keep;
    // Held open to the end: a file deleted meanwhile keeps its identity from being reused.
    platform::FilePtr package = fs.openRegularFile(packagePath);
    if (package) {
        got = std::fread(head, 1, sizeof head, package.get());
        platform::FileIdentity id;
        if (platform::identityOf(package.get(), id)) keep.push_back(id);
    }
    if (got < sizeof ARPK_MAGIC || std::memcmp(head, ARPK_MAGIC, sizeof ARPK_MAGIC) != 0)
        return extractArchive(packagePath, destination, keep, context);
    std::int32_t unpackedSize = 0;
    ByteReader(head + ARPK_SIZE_OFFSET, got - ARPK_SIZE_OFFSET).readI32(unpackedSize);

    fs.createFolder(destination);
    Temporary temporary;
    platform::FilePtr temp = temporary.create(fs, destination, keep);
    const std::string& tempPath = temporary.path;
    if (!temp) return context.fail(ARCHIVE_ERR_OPEN, "Can't write %s\n", tempPath);
    keep.push_back(temporary.id);
    if (unpackedSize >= static_cast<std::int64_t>(ARPK_OVERLAP_MIN))
        return decodeAndExtract(packagePath, std::move(temp), tempPath, destination, keep,
                                *temporary.folder, context);
    int r = unpackArpk(packagePath, std::move(temp), tempPath, context);
    return r == ARCHIVE_OK ? extractArchive(tempPath, destination, keep, context) : r;
}
