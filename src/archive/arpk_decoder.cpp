#include "archive/arpk_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

#include "archive/archive_progress.h"
#include "archive/arpk_format.h"
#include "archive/decode_feed.h"
#include "archive/head_cache.h"
#include "platform/large_block.h"

namespace {

const char* const APPEND_WRITE_ERROR = "Error writing to %s";
const char* const COPY_WRITE_ERROR = "error writing to %s";
const char* const SEEK_ERROR = "Seek error in %s";
const char* const IO_ERROR = "i/o error in file %s\n";
// Escape, code, four offset bytes and two length bytes.
constexpr std::size_t ARPK_LONGEST_COPY_TOKEN = 8;
// A token's numbers are read four bytes at a time: the longest token and the bytes past it.
constexpr std::size_t ARPK_TOKEN_READ = ARPK_LONGEST_COPY_TOKEN + 2;
// The sources of this many copies ahead are asked for from memory before they are reached.
constexpr int PREFETCH_COPIES = 16;
constexpr std::size_t NOT_SCANNED = ~std::size_t{0};
constexpr int WRITE_FAILED = 1;

// Output goes into a ring of the last ARPK_WINDOW bytes and from there to the temporary file,
// ARPK_BUFFER bytes at a time as they wait; the first ARPK_HEAD_CACHE bytes also stay in the
// head cache. A copy is served from either, and only a source in neither is read back.
class ArpkDecoder {
public:
    ArpkDecoder(const std::string& packagePath, platform::FilePtr temp, const std::string& tempPath,
                ArchiveContext& context, DecodeFeed* feed)
        : packagePath_(packagePath),
          tempPath_(tempPath),
          context_(context),
          temp_(std::move(temp)),
          feed_(feed) {}
    int run();

private:
    int readByte() {
        if (inPos_ < inLength_) return in_[inPos_++];
        return refill();
    }
    int refill() {
        inPos_ = 0;
        scan_ = NOT_SCANNED;
        inLength_ = eof_ ? 0 : std::fread(in_.get(), 1, unit_, package_.get());
        if (inLength_ == 0) {
            eof_ = true;
            return 0;
        }
        return in_[inPos_++];
    }
    std::uint32_t readNumber(int bytes) {
        // One load when the buffer holds four bytes: the bytes past the number are masked off.
        if (inLength_ - inPos_ >= 4) {
            std::uint32_t v = load(in_.get() + inPos_, bytes);
            inPos_ += static_cast<std::size_t>(bytes);
            return v;
        }
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(readByte()) << (8 * i);
        return v;
    }
    std::size_t waiting() const { return static_cast<std::size_t>(produced_ - written_); }
    std::size_t slot(std::int64_t pos) const { return static_cast<std::size_t>(pos) & mask_; }
    // Hands ring bytes [from, to) of the output on: into the head cache, then to the file or
    // to the extractor. ARCHIVE_OK, ARCHIVE_STOPPED, a failure set on the context, or
    // WRITE_FAILED for a write the caller names.
    int writeRange(std::int64_t from, std::int64_t to);
    bool writeOut(std::int64_t from, std::int64_t to);
    bool writeHead(std::int64_t to);
    bool keepGaps(std::int64_t from, std::int64_t to);
    // Calls f(position, bytes, count) for the ring's pieces of output [from, to) while it
    // returns true.
    template <typename F>
    bool eachPiece(std::int64_t from, std::int64_t to, F f) const;
    // Writes the waiting bytes out; a short write fails with the temporary path.
    int flush(const char* failure) {
        int r = writeRange(written_, produced_);
        if (r == WRITE_FAILED) return context_.fail(ARCHIVE_ERR_IO, failure, tempPath_);
        if (r) return r;
        written_ = produced_;
        return ARCHIVE_OK;
    }
    // Room for one more byte in the write-out buffer. An extractor reading along that has
    // failed ends the decoding here.
    int makeRoom() {
        if (waiting() < unit_) return ARCHIVE_OK;
        if (feed_ && feed_->stopped()) return ARCHIVE_STOPPED;
        return flush(APPEND_WRITE_ERROR);
    }
    void put(const unsigned char* p, std::size_t n);  // at produced_, n <= free ring slots
    // ARPK_WINDOW_MARGIN bytes can be read from p, whatever n is.
    int appendBytes(const unsigned char* p, std::size_t n) {
        // Mostly the bytes fit the buffer and the ring's end is not in between: one copy, of
        // the margin's width when shorter (the slots past them are free as for a short copy).
        const std::size_t at = slot(produced_);
        if (waiting() + n < unit_ && at + n <= mask_ + 1) {
            if (n <= ARPK_WINDOW_MARGIN)
                std::memcpy(ringData_ + at, p, ARPK_WINDOW_MARGIN);
            else
                std::memcpy(ringData_ + at, p, n);
            produced_ += static_cast<std::int64_t>(n);
            return ARCHIVE_OK;
        }
        return appendPieces(p, n);
    }
    int appendPieces(const unsigned char* p, std::size_t n);
    // Output past the declared size can only fail at the end: it fails at its first byte,
    // before three input bytes can write 250 more.
    bool past(std::size_t n) const {
        return produced_ + static_cast<std::int64_t>(n) > unpackedSize_;
    }
    int pastDeclaredSize() { return context_.fail(ARCHIVE_ERR_IO, "Incomplete archive!"); }
    int fetch(std::int64_t offset, std::size_t n);
    // A copy's bytes older than the ring holds, with the ring as the extractor's source.
    int fetchOlder(std::int64_t offset, std::size_t n);
    bool readOlder(std::int64_t pos, std::size_t n, unsigned char* out);
    bool readRegion(std::size_t i, std::int64_t at, std::size_t n, unsigned char* out);
    // The usual copy, short and from the head cache or the window, without a call: false
    // leaves it to fetch.
    bool quickCopy(std::int64_t offset, std::size_t n) {
        const std::size_t at = slot(produced_);
        if (n > ARPK_WINDOW_MARGIN || at + n > mask_ + 1) return false;
        const unsigned char* src = nullptr;
        if (offset + static_cast<std::int64_t>(n) <= static_cast<std::int64_t>(head_.size()))
            src = head_.span(offset, n);
        else if (offset >= 0 &&
                 offset + static_cast<std::int64_t>(mask_) + 1 >=
                     produced_ + static_cast<std::int64_t>(ARPK_WINDOW_MARGIN) &&
                 slot(offset) + n <= mask_ + 1)
            src = ringData_ + slot(offset);
        if (!src) return false;
        // Source and target may share slots past the copy's bytes: all of it is loaded before
        // any is stored (a few wide registers, no call).
        unsigned char wide[ARPK_WINDOW_MARGIN];
        std::memcpy(wide, src, ARPK_WINDOW_MARGIN);
        std::memcpy(ringData_ + at, wide, ARPK_WINDOW_MARGIN);
        produced_ += static_cast<std::int64_t>(n);
        return true;
    }
    int appendRun(int byte, std::size_t count);  // count times byte
    int copy(int k);
    int copy(std::uint32_t rawOffset, std::uint32_t rawLength);
    // Most copies take from megabytes back and would wait for memory: the tokens ahead in
    // the input are read through once more, and their sources asked for early. Only a hint:
    // a source not cached yet, or read back from the file, is asked for at some ring slot.
    void prefetchAhead(int escape) {
        if (scan_ == NOT_SCANNED || scan_ < inPos_) {
            scan_ = inPos_;  // the loop is at a token's start
            ahead_ = 0;
        }
        const unsigned char* in = in_.get();
        while (ahead_ < PREFETCH_COPIES && scan_ + ARPK_TOKEN_READ <= inLength_) {
            const unsigned char* p = in + scan_;
            if (*p != escape) {
                const void* next = std::memchr(p, escape, inLength_ - scan_);
                scan_ = next
                            ? static_cast<std::size_t>(static_cast<const unsigned char*>(next) - in)
                            : inLength_;
                continue;
            }
            const int k = p[1];
            if (k == escape || k >= ARPK_MIN_RUN_CODE) {
                scan_ += k == escape ? 2 : 3;
                continue;
            }
            const int offsetBytes = arpkOffsetBytes(k);
            const std::int64_t offset = static_cast<std::int32_t>(load(p + 2, offsetBytes));
            const unsigned char* src = head_.span(offset, 1);
            if (!src && offset >= 0) src = ringData_ + slot(offset);
            if (src) __builtin_prefetch(src);
            scan_ += 2 + static_cast<std::size_t>(offsetBytes + arpkLengthBytes(k));
            ++ahead_;
        }
    }
    // A whole copy token at the input's position: read without a check per byte.
    int copyToken() {
        if (ahead_ > 0) --ahead_;
        const unsigned char* p = in_.get() + inPos_;
        const int k = p[1], offsetBytes = arpkOffsetBytes(k);
        inPos_ += 2 + static_cast<std::size_t>(offsetBytes + arpkLengthBytes(k));
        return copy(load(p + 2, offsetBytes), load(p + 2 + offsetBytes, arpkLengthBytes(k)));
    }
    // A little-endian number of 1 to 4 bytes from four readable ones.
    static std::uint32_t load(const unsigned char* p, int bytes) {
        static constexpr std::uint32_t MASK[5] = {0, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF};
        return (static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24) &
               MASK[bytes];
    }
    int decodeTokens();

    const std::string &packagePath_, &tempPath_;
    ArchiveContext& context_;
    platform::FilePtr temp_, package_;
    DecodeFeed* feed_;
    DecodeFeed::Source source_ = DecodeFeed::Source::Undecided;  // with a feed: where it reads
    // With the ring as the extractor's source: output that is in no file, past the head
    // cache, lies in the temporary file, piece after piece.
    struct Piece {
        std::int64_t pos, at, size;
    };
    std::vector<Piece> gaps_;
    std::int64_t gapsEnd_ = 0;
    std::size_t nextRegion_ = 0;  // the first region not wholly before what is written out
    std::unique_ptr<unsigned char[]> scratch_;  // a copy read back before it is stored
    platform::FilePtr region_;                  // the file last read back from, and its index
    std::size_t regionIndex_ = SIZE_MAX;
    // Reads and write-outs: larger for a package extracted meanwhile, fewer system calls.
    const std::size_t unit_ = feed_ ? ARPK_FEED_UNIT : ARPK_BUFFER;
    std::unique_ptr<unsigned char[]> in_;
    platform::LargeBlock ring_;  // handed to the feed, if any, which keeps it to the end
    unsigned char* ringData_ = nullptr;
    std::size_t inPos_ = 0, inLength_ = 0, mask_ = 0;
    std::size_t scan_ = NOT_SCANNED;  // the prefetch's place in the input, at a token's start
    int ahead_ = 0;                   // copies between the input's position and scan_
    bool eof_ = false;
    std::int64_t produced_ = 0, written_ = 0, unpackedSize_ = 0;
    HeadCache head_;  // sized from the header
};

template <typename F>
bool ArpkDecoder::eachPiece(std::int64_t from, std::int64_t to, F f) const {
    while (from < to) {
        std::size_t at = slot(from);
        std::size_t n = std::min(static_cast<std::size_t>(to - from), mask_ + 1 - at);
        if (!f(from, ringData_ + at, n)) return false;
        from += static_cast<std::int64_t>(n);
    }
    return true;
}

bool ArpkDecoder::writeOut(std::int64_t from, std::int64_t to) {
    return eachPiece(from, to, [&](std::int64_t pos, const unsigned char* p, std::size_t n) {
        return platform::writeAt(temp_.get(), pos, p, n);
    });
}

int ArpkDecoder::writeRange(std::int64_t from, std::int64_t to) {
    eachPiece(from, to, [&](std::int64_t pos, const unsigned char* p, std::size_t n) {
        head_.append(pos, p, n);
        return true;
    });
    if (!feed_) return writeOut(from, to) ? ARCHIVE_OK : WRITE_FAILED;
    const DecodeFeed::Source before = source_;
    source_ = feed_->publish(to);
    // What was published before the extractor chose is in the head cache: the directory
    // lies at the archive's start.
    if (source_ != before && head_.size() < static_cast<std::size_t>(from))
        return context_.fail(ARCHIVE_ERR_MEMORY, "No memory for buffers");
    if (source_ == DecodeFeed::Source::File) {
        // Just chosen: the file first gets what was published before.
        if (before != DecodeFeed::Source::File && !writeHead(from)) return WRITE_FAILED;
        if (!writeOut(from, to)) return WRITE_FAILED;
        feed_->advance(to);
        return ARCHIVE_OK;
    }
    if (source_ == DecodeFeed::Source::Ring && !keepGaps(from, to)) return WRITE_FAILED;
    // The slots the output may take until the next write-out must have been read.
    const auto reach = static_cast<std::int64_t>(unit_ + ARPK_WINDOW_MARGIN);
    if (!feed_->reserve(to + reach - static_cast<std::int64_t>(mask_ + 1))) return ARCHIVE_STOPPED;
    return ARCHIVE_OK;
}

// The output before to, from the head cache into the file.
bool ArpkDecoder::writeHead(std::int64_t to) {
    std::vector<unsigned char> buffer(std::min<std::size_t>(static_cast<std::size_t>(to), unit_));
    for (std::int64_t pos = 0; pos < to;) {
        std::size_t n = std::min(buffer.size(), static_cast<std::size_t>(to - pos));
        if (!head_.copy(pos, n, buffer.data()) ||
            !platform::writeAt(temp_.get(), pos, buffer.data(), n))
            return false;
        pos += static_cast<std::int64_t>(n);
    }
    return true;
}

// The bytes of [from, to) past the head cache that no file will hold go to the temporary
// file, one after the other, for copies that may read them back.
bool ArpkDecoder::keepGaps(std::int64_t from, std::int64_t to) {
    const std::vector<DecodeFeed::Region>& regions = feed_->regions();
    from = std::max(from, static_cast<std::int64_t>(head_.size()));
    while (from < to) {
        while (nextRegion_ < regions.size() && regions[nextRegion_].end <= from) ++nextRegion_;
        std::int64_t end = to;
        if (nextRegion_ < regions.size()) {
            const DecodeFeed::Region& r = regions[nextRegion_];
            if (r.start <= from) {
                from = std::min(to, r.end);
                continue;
            }
            end = std::min(to, r.start);
        }
        const std::int64_t at = gapsEnd_ - from;
        if (!eachPiece(from, end, [&](std::int64_t pos, const unsigned char* p, std::size_t n) {
                return platform::writeAt(temp_.get(), at + pos, p, n);
            }))
            return false;
        if (!gaps_.empty() && gaps_.back().pos + gaps_.back().size == from)
            gaps_.back().size += end - from;
        else
            gaps_.push_back({from, gapsEnd_, end - from});
        gapsEnd_ += end - from;
        from = end;
    }
    return true;
}

void ArpkDecoder::put(const unsigned char* p, std::size_t n) {
    std::size_t at = slot(produced_);
    std::size_t first = std::min(n, mask_ + 1 - at);
    std::memcpy(ringData_ + at, p, first);
    std::memcpy(ringData_, p + first, n - first);
    produced_ += static_cast<std::int64_t>(n);
}

int ArpkDecoder::appendPieces(const unsigned char* p, std::size_t n) {
    while (n > 0) {
        if (int r = makeRoom()) return r;
        std::size_t m = std::min(n, unit_ - waiting());
        put(p, m);
        p += m;
        n -= m;
    }
    return ARCHIVE_OK;
}

// Appends n bytes of earlier output from offset: from the head cache or the ring when they
// are there, else read back from the file.
int ArpkDecoder::fetch(std::int64_t offset, std::size_t n) {
    if (n == 0) return ARCHIVE_OK;
    const std::size_t at = slot(produced_);
    const std::size_t first = std::min(n, mask_ + 1 - at);
    unsigned char* dst = ringData_ + at;
    const std::int64_t end = offset + static_cast<std::int64_t>(n);
    // Short copies move ARPK_WINDOW_MARGIN bytes at once: the bytes past the copy land on
    // ring slots no copy may take from any more, or on the slack past the ring's end.
    const bool shortCopy = n <= ARPK_WINDOW_MARGIN && first == n;
    if (offset >= 0 && end <= static_cast<std::int64_t>(head_.size())) {
        if (const unsigned char* src = shortCopy ? head_.span(offset, n) : nullptr)
            std::memcpy(dst, src, ARPK_WINDOW_MARGIN);
        else if (head_.copy(offset, first, dst))
            head_.copy(offset + static_cast<std::int64_t>(first), n - first, ringData_);
        produced_ += static_cast<std::int64_t>(n);
        return ARCHIVE_OK;
    }
    // The ring slots being filled (and those the margin may touch) hold the output one ring
    // back: the source must lie above them.
    const std::int64_t ring = static_cast<std::int64_t>(mask_) + 1;
    const auto reach = static_cast<std::int64_t>(std::max(n, ARPK_WINDOW_MARGIN));
    if (offset >= 0 && offset + ring >= produced_ + reach) {
        if (shortCopy && slot(offset) + n <= mask_ + 1) {
            // Source and target may share slots past the copy's bytes: all of it is loaded
            // before any is stored (a few wide registers, no call).
            unsigned char wide[ARPK_WINDOW_MARGIN];
            std::memcpy(wide, ringData_ + slot(offset), ARPK_WINDOW_MARGIN);
            std::memcpy(dst, wide, ARPK_WINDOW_MARGIN);
            produced_ += static_cast<std::int64_t>(n);
            return ARCHIVE_OK;
        }
        for (std::int64_t pos = offset; pos < end;) {
            std::size_t from = slot(pos), to = slot(produced_);
            std::size_t m =
                std::min({static_cast<std::size_t>(end - pos), mask_ + 1 - from, mask_ + 1 - to});
            std::memcpy(ringData_ + to, ringData_ + from, m);
            pos += static_cast<std::int64_t>(m);
            produced_ += static_cast<std::int64_t>(m);
        }
        return ARCHIVE_OK;
    }
    if (offset < 0 || offset > 0x7FFFFFFF)
        return context_.fail(ARCHIVE_ERR_IO, SEEK_ERROR, packagePath_);
    ++context_.stats.readsBack;
    if (source_ == DecodeFeed::Source::Ring) return fetchOlder(offset, n);
    // Bytes not yet written are all in the ring, so the file holds the source.
    if (!platform::readAt(temp_.get(), offset, dst, first) ||
        !platform::readAt(temp_.get(), offset + static_cast<std::int64_t>(first), ringData_,
                          n - first))
        return context_.fail(ARCHIVE_ERR_IO, IO_ERROR, packagePath_);
    produced_ += static_cast<std::int64_t>(n);
    return ARCHIVE_OK;
}

int ArpkDecoder::fetchOlder(std::int64_t offset, std::size_t n) {
    if (!scratch_) scratch_.reset(new (std::nothrow) unsigned char[ARPK_MAX_COPY]);
    if (!scratch_) return context_.fail(ARCHIVE_ERR_MEMORY, "No memory for buffers");
    // Ring slots hold their output from here on (a short copy's wide move may have taken the
    // slots just below); the extractor has written out all before it.
    const std::int64_t ringFrom = produced_ + static_cast<std::int64_t>(ARPK_WINDOW_MARGIN) -
                                  static_cast<std::int64_t>(mask_ + 1);
    const auto headEnd = static_cast<std::int64_t>(head_.size());
    const std::int64_t end = offset + static_cast<std::int64_t>(n);
    unsigned char* out = scratch_.get();
    for (std::int64_t pos = offset; pos < end;) {
        std::int64_t m;
        if (pos < headEnd) {
            m = std::min(end, headEnd) - pos;
            head_.copy(pos, static_cast<std::size_t>(m), out);
        } else if (pos >= ringFrom) {
            m = end - pos;
            eachPiece(pos, end, [&](std::int64_t at, const unsigned char* p, std::size_t k) {
                std::memcpy(out + (at - pos), p, k);
                return true;
            });
        } else {
            m = std::min(end, ringFrom) - pos;
            if (feed_->stopped()) return ARCHIVE_STOPPED;
            if (!readOlder(pos, static_cast<std::size_t>(m), out))
                return context_.fail(ARCHIVE_ERR_IO, IO_ERROR, packagePath_);
        }
        pos += m;
        out += m;
    }
    // Gathered first: the copy's target slots may have held its source.
    put(scratch_.get(), n);
    return ARCHIVE_OK;
}

// Output [pos, pos + n) that the extractor has written: from its files, or from the gaps kept.
bool ArpkDecoder::readOlder(std::int64_t pos, std::size_t n, unsigned char* out) {
    const std::vector<DecodeFeed::Region>& regions = feed_->regions();
    while (n > 0) {
        auto r = std::upper_bound(
            regions.begin(), regions.end(), pos,
            [](std::int64_t p, const DecodeFeed::Region& x) { return p < x.start; });
        std::size_t k;
        if (r != regions.begin() && std::prev(r)->end > pos) {
            const auto i = static_cast<std::size_t>(std::prev(r) - regions.begin());
            k = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(n), regions[i].end - pos));
            if (!readRegion(i, pos - regions[i].start, k, out)) return false;
        } else {
            auto g = std::upper_bound(gaps_.begin(), gaps_.end(), pos,
                                      [](std::int64_t p, const Piece& x) { return p < x.pos; });
            if (g == gaps_.begin() || std::prev(g)->pos + std::prev(g)->size <= pos) return false;
            const Piece& piece = *std::prev(g);
            k = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(n), piece.pos + piece.size - pos));
            if (!platform::readAt(temp_.get(), piece.at + (pos - piece.pos), out, k)) return false;
        }
        pos += static_cast<std::int64_t>(k);
        out += k;
        n -= k;
    }
    return true;
}

bool ArpkDecoder::readRegion(std::size_t i, std::int64_t at, std::size_t n, unsigned char* out) {
    const DecodeFeed::Region& r = feed_->regions()[i];
    if (regionIndex_ != i) {
        region_.reset();
        regionIndex_ = SIZE_MAX;
        platform::FileIdentity id;
        // Only the very file the extractor made, never what took its name since.
        if (!feed_->outputs || !feed_->identityOf(i, id)) return false;
        region_ = feed_->outputs->openExisting(r.name, id);
        if (!region_) return false;
        regionIndex_ = i;
    }
    if (!platform::readAt(region_.get(), at, out, n)) return false;
    // The read may have moved the access time the extractor has set: set again.
    if (feed_->complete(i)) feed_->outputs->setFileTimes(r.name, r.accessTime, r.modifyTime);
    return true;
}

int ArpkDecoder::appendRun(int byte, std::size_t count) {
    if (past(count)) return pastDeclaredSize();
    unsigned char bytes[ARPK_MAX_RUN];
    std::memset(bytes, byte, count);
    return appendBytes(bytes, count);
}

int ArpkDecoder::copy(int k) {
    if (ahead_ > 0) --ahead_;
    std::uint32_t rawOffset = readNumber(arpkOffsetBytes(k));
    return copy(rawOffset, readNumber(arpkLengthBytes(k)));
}

int ArpkDecoder::copy(std::uint32_t rawOffset, std::uint32_t rawLength) {
    // Both are signed 32-bit values: a four-byte offset of 2^31 or more is negative.
    std::int64_t offset = static_cast<std::int32_t>(rawOffset);
    std::int64_t length = rawLength;
    if (produced_ + length > unpackedSize_ || offset + length > produced_)
        return context_.fail(ARCHIVE_ERR_INVALID, "Bad escape sequence in %s", packagePath_);
    std::size_t n = static_cast<std::size_t>(length);
    if (waiting() + n <= unit_) return quickCopy(offset, n) ? ARCHIVE_OK : fetch(offset, n);
    // Longer than the buffer can take: the waiting bytes go out, then the copy a buffer at
    // a time straight to the file. The source lies wholly before the old end.
    if (feed_ && feed_->stopped()) return ARCHIVE_STOPPED;
    if (int r = flush(COPY_WRITE_ERROR)) return r;
    std::size_t done = 0;
    while (done < n) {
        std::size_t piece = std::min(n - done, ARPK_BUFFER);
        if (int r = fetch(offset + static_cast<std::int64_t>(done), piece)) return r;
        if (int r = writeRange(written_, produced_))
            return r == WRITE_FAILED ? context_.fail(ARCHIVE_ERR_IO, IO_ERROR, packagePath_) : r;
        written_ = produced_;
        done += piece;
    }
    return ARCHIVE_OK;
}

int ArpkDecoder::decodeTokens() {
    const int escape = readByte();
    // Progress is reported after the first token and then once output reaches stepEnd.
    const auto buffer = static_cast<std::int64_t>(ARPK_BUFFER);
    std::int64_t stepEnd = 0;
    for (;;) {
        prefetchAhead(escape);
        // Literals up to the next escape byte go over in one piece (tokens often follow
        // each other directly: no search then).
        std::size_t avail = inLength_ - inPos_;
        const unsigned char* from = in_.get() + inPos_;
        const void* next = avail == 0        ? nullptr
                           : *from == escape ? from
                                             : std::memchr(from, escape, avail);
        std::size_t literals = next ? static_cast<const unsigned char*>(next) - from : avail;
        // Never across a multiple of the buffer size, nor before the first report, so that
        // progress is reported at the same points as token by token.
        std::size_t room = stepEnd == 0 ? 1 : static_cast<std::size_t>(stepEnd - 1 - produced_);
        if (literals > room) literals = room;
        if (literals > 0) {
            if (past(literals)) return pastDeclaredSize();
            inPos_ += literals;
            if (int r = appendBytes(from, literals)) return r;
        } else if (avail >= ARPK_LONGEST_COPY_TOKEN && *from == escape &&
                   from[1] <= ARPK_MAX_COPY_CODE && from[1] != escape) {
            // A copy token wholly in the buffer.
            if (int r = copyToken()) return r;
        } else if (int c = readByte(); eof_) {
            return ARCHIVE_OK;
        } else if (c != escape) {
            if (past(1)) return pastDeclaredSize();
            if (int r = makeRoom()) return r;
            unsigned char byte = static_cast<unsigned char>(c);
            put(&byte, 1);
        } else {
            int k = readByte();
            int r;
            if (k == escape)
                r = appendRun(escape, 1);
            else if (k >= ARPK_MIN_RUN_CODE)
                r = appendRun(readByte(), static_cast<std::size_t>(k - ARPK_RUN_BIAS));
            else
                r = copy(k);
            if (r) return r;
        }
        if (produced_ >= stepEnd) {
            stepEnd = (produced_ / buffer + 1) * buffer;
            stepArchiveProgress(2 * produced_ / 3, unpackedSize_, 0);
        }
    }
}

int ArpkDecoder::run() {
    platform::FileSystem& fs = *context_.system.fs;
    // The margin past the input lets literals be copied in one wide move.
    in_.reset(new (std::nothrow) unsigned char[unit_ + ARPK_WINDOW_MARGIN]);
    if (!in_) return context_.fail(ARCHIVE_ERR_MEMORY, "No memory for buffers");
    if (!temp_) temp_ = fs.openPlainFile(tempPath_, platform::CreateMode::Replace);
    if (!temp_) return context_.fail(ARCHIVE_ERR_OPEN, "Can't write %s\n", tempPath_);
    package_ = fs.openRegularFile(packagePath_);
    if (!package_) return context_.fail(ARCHIVE_ERR_OPEN, "Can't read %s\n", packagePath_);
    for (char m : ARPK_MAGIC)
        if (readByte() != static_cast<unsigned char>(m))
            return context_.fail(ARCHIVE_ERR_INVALID, "Not a valid archive: %s\n", packagePath_);
    unpackedSize_ = static_cast<std::int32_t>(readNumber(4));
    // No larger than the declared output: a small package does not take megabytes.
    head_ = HeadCache(static_cast<std::size_t>(
        std::clamp<std::int64_t>(unpackedSize_, 0, static_cast<std::int64_t>(ARPK_HEAD_CACHE))));
    // The ring, too, no larger than the declared output needs (and at least the buffer).
    std::size_t ring = 2 * ARPK_BUFFER;
    while (ring < ARPK_WINDOW && static_cast<std::int64_t>(ring) < unpackedSize_) ring <<= 1;
    ring_ = platform::LargeBlock(ring + ARPK_WINDOW_MARGIN);
    if (!ring_) return context_.fail(ARCHIVE_ERR_MEMORY, "No memory for buffers");
    mask_ = ring - 1;
    ringData_ = ring_.get();
    // An extractor reading along takes the output from the ring: it keeps it to the end.
    if (feed_) feed_->offerRing(std::move(ring_), ring);
    beginArchiveProgress(context_.system);
    setArchiveProgressText("Unpacking APK files...", unpackedSize_);
    if (int r = decodeTokens()) return r;
    if (int r = flush(APPEND_WRITE_ERROR)) return r;
    // Said before an extractor reading along finds the archive short.
    if (feed_ && produced_ != unpackedSize_)
        return context_.fail(ARCHIVE_ERR_IO, "Incomplete archive!");
    // An extractor still choosing may yet read from the file: it gets it whole.
    if (feed_ && source_ == DecodeFeed::Source::Undecided &&
        feed_->settle() == DecodeFeed::Source::File)
        if (int r = flush(APPEND_WRITE_ERROR)) return r;
    // Buffered bytes that cannot be written when the file closes are a failed write-out.
    if (std::fclose(temp_.release()) != 0)
        return context_.fail(ARCHIVE_ERR_IO, APPEND_WRITE_ERROR, tempPath_);
    if (produced_ != unpackedSize_) return context_.fail(ARCHIVE_ERR_IO, "Incomplete archive!");
    return ARCHIVE_OK;
}

}  // namespace

int unpackArpk(const std::string& packagePath, platform::FilePtr temp, const std::string& tempPath,
               ArchiveContext& context, DecodeFeed* feed) {
    ArpkDecoder decoder(packagePath, std::move(temp), tempPath, context, feed);
    int r = decoder.run();
    endArchiveProgress();
    return r;
}

int unpackArpk(const std::string& packagePath, const std::string& tempPath,
               ArchiveContext& context) {
    return unpackArpk(packagePath, nullptr, tempPath, context);
}
