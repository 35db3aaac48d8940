#include "archive/arpk_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "archive/archive_progress.h"
#include "archive/archive_session.h"
#include "archive/arpk_format.h"
#include "archive/head_cache.h"

namespace {

const char* const APPEND_WRITE_ERROR = "Error writing to %s";
const char* const COPY_WRITE_ERROR = "error writing to %s";
const char* const SEEK_ERROR = "Seek error in %s";
const char* const IO_ERROR = "i/o error in file %s\n";

class ArpkDecoder {
public:
    ArpkDecoder(const std::string& packagePath, platform::FilePtr temp, const std::string& tempPath)
        : packagePath_(packagePath), tempPath_(tempPath), temp_(std::move(temp)) {}
    int run();

private:
    int readByte() {
        if (inPos_ < inLength_) return in_[inPos_++];
        return refill();
    }
    int refill() {
        inPos_ = 0;
        ahead_ = 0;
        inLength_ = eof_ ? 0 : std::fread(in_.get(), 1, ARPK_BUFFER, package_.get());
        if (inLength_ == 0) {
            eof_ = true;
            return 0;
        }
        return in_[inPos_++];
    }
    std::uint32_t readNumber(int bytes) {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(readByte()) << (8 * i);
        return v;
    }
    bool writeFile(const unsigned char* p, std::size_t n) {
        if (std::fwrite(p, 1, n, temp_.get()) != n) return false;
        head_.append(inFile_, p, n);
        inFile_ += static_cast<std::int64_t>(n);
        return true;
    }
    int flush(const char* failure) {
        if (waiting_ > 0 && !writeFile(out_.get(), waiting_))
            return archiveFailure(ARCHIVE_ERR_IO, failure, tempPath_);
        waiting_ = 0;
        return ARCHIVE_OK;
    }
    int appendBytes(const unsigned char* p, std::size_t n) {
        while (n > 0) {
            if (waiting_ == ARPK_BUFFER) {
                if (int r = flush(APPEND_WRITE_ERROR)) return r;
            }
            std::size_t m = n < ARPK_BUFFER - waiting_ ? n : ARPK_BUFFER - waiting_;
            std::memcpy(out_.get() + waiting_, p, m);
            waiting_ += m;
            produced_ += static_cast<std::int64_t>(m);
            p += m;
            n -= m;
        }
        return ARCHIVE_OK;
    }
    // Output past the declared size can only fail at the end: it fails at its first byte,
    // before three input bytes can write 250 more.
    bool past(std::size_t n) const {
        return produced_ + static_cast<std::int64_t>(n) > unpackedSize_;
    }
    static int pastDeclaredSize() { return archiveFailure(ARCHIVE_ERR_IO, "Incomplete archive!"); }
    void lookAhead(int escape);
    int fetch(std::int64_t offset, std::size_t n, unsigned char* dst);
    int run(int byte, std::size_t count);
    int copy(int k);
    int decodeTokens();

    const std::string &packagePath_, &tempPath_;
    platform::FilePtr temp_, package_;
    std::unique_ptr<unsigned char[]> in_, out_;
    std::size_t inPos_ = 0, inLength_ = 0, waiting_ = 0;
    std::size_t ahead_ = 0;  // the token boundary up to which copy sources were prefetched
    bool eof_ = false;
    std::int64_t produced_ = 0, inFile_ = 0, unpackedSize_ = 0;
    HeadCache head_{ARPK_HEAD_CACHE, ARPK_HEAD_CHUNK};  // sized again from the header
};

// Copies reach back megabytes into the head at random, so each one waits for memory. Asking
// for the sources of the copies up to 128 input bytes ahead (about ten copies) lets those
// waits overlap.
void ArpkDecoder::lookAhead(int escape) {
    constexpr std::size_t DISTANCE = 128, LONGEST_TOKEN = 8;
    if (ahead_ < inPos_) ahead_ = inPos_;  // called at a token boundary
    if (ahead_ >= inPos_ + DISTANCE / 2 || inLength_ < LONGEST_TOKEN) return;
    const std::size_t stop = std::min(inPos_ + DISTANCE, inLength_ - LONGEST_TOKEN);
    const unsigned char* in = in_.get();
    while (ahead_ < stop) {
        const void* e = std::memchr(in + ahead_, escape, stop - ahead_);
        if (!e) {
            ahead_ = stop;
            return;
        }
        std::size_t at = static_cast<const unsigned char*>(e) - in;
        int k = in[at + 1];
        if (k == escape) {
            ahead_ = at + 2;
        } else if (k >= ARPK_MIN_RUN_CODE) {
            ahead_ = at + 3;
        } else {
            int width = arpkOffsetBytes(k);
            std::uint32_t offset = 0;
            for (int i = 0; i < width; ++i)
                offset |= static_cast<std::uint32_t>(in[at + 2 + i]) << (8 * i);
            head_.prefetch(static_cast<std::int32_t>(offset));
            ahead_ = at + 2 + static_cast<std::size_t>(width + arpkLengthBytes(k));
        }
    }
}

// Reads earlier output, from memory when it is cached, else from the file with two seeks.
int ArpkDecoder::fetch(std::int64_t offset, std::size_t n, unsigned char* dst) {
    if (head_.copy(offset, n, dst)) return ARCHIVE_OK;
    if (offset < 0 || offset > 0x7FFFFFFF ||
        std::fseek(temp_.get(), static_cast<long>(offset), SEEK_SET) != 0)
        return archiveFailure(ARCHIVE_ERR_IO, SEEK_ERROR, packagePath_);
    if (std::fread(dst, 1, n, temp_.get()) != n)
        return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, packagePath_);
    if (std::fseek(temp_.get(), 0, SEEK_END) != 0)
        return archiveFailure(ARCHIVE_ERR_IO, SEEK_ERROR, packagePath_);
    return ARCHIVE_OK;
}

int ArpkDecoder::run(int byte, std::size_t count) {
    if (past(count)) return pastDeclaredSize();
    while (count > 0) {
        if (waiting_ == ARPK_BUFFER) {
            if (int r = flush(APPEND_WRITE_ERROR)) return r;
        }
        std::size_t m = count < ARPK_BUFFER - waiting_ ? count : ARPK_BUFFER - waiting_;
        std::memset(out_.get() + waiting_, byte, m);
        waiting_ += m;
        produced_ += static_cast<std::int64_t>(m);
        count -= m;
    }
    return ARCHIVE_OK;
}

int ArpkDecoder::copy(int k) {
    std::uint32_t rawOffset = readNumber(arpkOffsetBytes(k));
    std::uint32_t rawLength = readNumber(arpkLengthBytes(k));
    // Both are signed 32-bit values: a four-byte offset of 2^31 or more is negative.
    std::int64_t offset = static_cast<std::int32_t>(rawOffset);
    std::int64_t length = rawLength;
    if (produced_ + length > unpackedSize_ || offset + length > produced_)
        return archiveFailure(ARCHIVE_ERR_INVALID, "Bad escape sequence in %s", packagePath_);
    if (offset + length > inFile_) {
        if (int r = flush(COPY_WRITE_ERROR)) return r;
    }
    std::size_t n = static_cast<std::size_t>(length);
    if (waiting_ + n <= ARPK_BUFFER) {
        if (int r = fetch(offset, n, out_.get() + waiting_)) return r;
        waiting_ += n;
    } else {
        // Longer than the buffer can take: straight to the file, a buffer at a time. The
        // source lies wholly before the old end, so appending never disturbs it.
        if (int r = flush(COPY_WRITE_ERROR)) return r;
        std::size_t done = 0;
        while (done < n) {
            std::size_t piece = n - done < ARPK_BUFFER ? n - done : ARPK_BUFFER;
            if (int r = fetch(offset + static_cast<std::int64_t>(done), piece, out_.get()))
                return r;
            if (!writeFile(out_.get(), piece))
                return archiveFailure(ARCHIVE_ERR_IO, IO_ERROR, packagePath_);
            done += piece;
        }
    }
    produced_ += length;
    return ARCHIVE_OK;
}

int ArpkDecoder::decodeTokens() {
    const int escape = readByte();
    std::int64_t lastStep = -1;
    for (;;) {
        lookAhead(escape);
        // Literals up to the next escape byte go over in one piece.
        std::size_t avail = inLength_ - inPos_;
        const unsigned char* from = in_.get() + inPos_;
        const void* next = avail ? std::memchr(from, escape, avail) : nullptr;
        std::size_t literals = next ? static_cast<const unsigned char*>(next) - from : avail;
        // Never across a multiple of the buffer size, nor before the first report, so that
        // progress is reported at the same points as token by token.
        std::size_t room = lastStep < 0 ? 1 : ARPK_BUFFER - 1 - produced_ % ARPK_BUFFER;
        if (literals > room) literals = room;
        if (literals > 0) {
            if (past(literals)) return pastDeclaredSize();
            inPos_ += literals;
            if (int r = appendBytes(from, literals)) return r;
        } else if (int c = readByte(); eof_) {
            return ARCHIVE_OK;
        } else if (c != escape) {
            if (past(1)) return pastDeclaredSize();
            if (waiting_ == ARPK_BUFFER) {
                if (int r = flush(APPEND_WRITE_ERROR)) return r;
            }
            out_[waiting_++] = static_cast<unsigned char>(c);
            ++produced_;
        } else {
            int k = readByte();
            int r;
            if (k == escape)
                r = run(escape, 1);
            else if (k >= ARPK_MIN_RUN_CODE)
                r = run(readByte(), static_cast<std::size_t>(k - ARPK_RUN_BIAS));
            else
                r = copy(k);
            if (r) return r;
        }
        std::int64_t step = produced_ / static_cast<std::int64_t>(ARPK_BUFFER);
        if (step != lastStep) {
            lastStep = step;
            stepArchiveProgress(2 * produced_ / 3, unpackedSize_, 0);
        }
    }
}

int ArpkDecoder::run() {
    platform::FileSystem& fs = *archiveSession().system.fs;
    in_.reset(new (std::nothrow) unsigned char[ARPK_BUFFER]);
    out_.reset(new (std::nothrow) unsigned char[ARPK_BUFFER]);
    if (!in_ || !out_) return archiveFailure(ARCHIVE_ERR_MEMORY, "No memory for buffers");
    if (!temp_) temp_ = fs.openFile(tempPath_, "wb+");
    if (!temp_) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't write %s\n", tempPath_);
    package_ = fs.openFile(packagePath_, "rb");
    if (!package_) return archiveFailure(ARCHIVE_ERR_OPEN, "Can't read %s\n", packagePath_);
    for (char m : ARPK_MAGIC)
        if (readByte() != static_cast<unsigned char>(m))
            return archiveFailure(ARCHIVE_ERR_INVALID, "Not a valid archive: %s\n", packagePath_);
    unpackedSize_ = static_cast<std::int32_t>(readNumber(4));
    // Chunks no larger than the declared output: a small package does not take a megabyte.
    std::size_t chunk = ARPK_HEAD_MIN_CHUNK;
    while (chunk < ARPK_HEAD_CHUNK && static_cast<std::int64_t>(chunk) < unpackedSize_) chunk <<= 1;
    head_ = HeadCache(ARPK_HEAD_CACHE, chunk);
    beginArchiveProgress(archiveSession().system);
    setArchiveProgressText("Unpacking APK files...", unpackedSize_);
    if (int r = decodeTokens()) return r;
    if (int r = flush(APPEND_WRITE_ERROR)) return r;
    // Buffered bytes that cannot be written when the file closes are a failed write-out.
    if (std::fclose(temp_.release()) != 0)
        return archiveFailure(ARCHIVE_ERR_IO, APPEND_WRITE_ERROR, tempPath_);
    if (produced_ != unpackedSize_) return archiveFailure(ARCHIVE_ERR_IO, "Incomplete archive!");
    return ARCHIVE_OK;
}

}  // namespace

int unpackArpk(const std::string& packagePath, platform::FilePtr temp,
               const std::string& tempPath) {
    ArpkDecoder decoder(packagePath, std::move(temp), tempPath);
    int r = decoder.run();
    endArchiveProgress();
    return r;
}

int unpackArpk(const std::string& packagePath, const std::string& tempPath) {
    return unpackArpk(packagePath, nullptr, tempPath);
}
