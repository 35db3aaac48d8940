#pragma once
// The hand-over between the decoder of a large compressed package (main thread) and the
// extractor that writes its files meanwhile (a worker): how much of the temporary file is
// written, how far the extraction got, and the first failure of either side, which is the
// failure of both. It only keeps that failure: the package operation shows it once the
// worker has ended.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "archive/archive_result.h"
#include "platform/system.h"

// A layer that stops because the other side failed: the held failure is the one that counts.
inline constexpr int ARCHIVE_STOPPED = -100;

class DecodeFeed {
public:
    // Decoder side: bytes [0, written) are in the temporary file.
    void advance(std::int64_t written);
    // Decoding is over, well or not; nothing more will be written.
    void finishDecoding();
    // Lets the extractor's thread, while it waits, write out bytes the decoder has handed over:
    // writer writes output [from, to) to the file; a failure of it is held as failure.
    void shareWriting(std::function<bool(std::int64_t, std::int64_t)> writer, std::int64_t backlog,
                      ArchiveError failure);
    // With shared writing, instead of advance: bytes [0, ready) are final. The decoder writes
    // out itself when more than the backlog waits (or all, at the end). False when its own
    // write-out failed.
    bool handOver(std::int64_t ready, bool all);
    // The decoder is about to end, well or not: waits for a write-out the extractor is doing
    // and lets it start no other, so that nothing writes from the decoder's memory once freed.
    void stopSharing();
    // The extractor failed: decoding ends without a word of its own.
    bool stopped() const;

    // Extractor side, from the worker. Waits until bytes [0, end) are written or decoding is over.
    // False when a failure is held (the extractor then stops quietly).
    bool waitFor(std::int64_t end);
    void startProcessing(std::int32_t totalSize);
    void extracted(std::int64_t written);
    void finishExtracting();

    // Either side: keeps the first failure (the other side then stops).
    void hold(const ArchiveError& failure);
    // The failure held, if any (code 0 when none).
    ArchiveError held() const;

    // Main thread, once decoding is over: shows the extraction's progress until it ends.
    void followExtraction(const platform::System& system);

private:
    // Writes out [written_, ready_) while the lock is held by l, letting it go meanwhile.
    bool writeOutLocked(std::unique_lock<std::mutex>& l);
    void holdLocked(const ArchiveError& failure);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::int64_t written_ = 0, wanted_ = 0, extracted_ = 0;
    std::int64_t ready_ = 0, backlog_ = 0;
    bool writing_ = false;
    std::function<bool(std::int64_t, std::int64_t)> writer_;
    ArchiveError writeFailure_;
    std::int32_t totalSize_ = 0;
    bool decoded_ = false, processing_ = false, extractorDone_ = false;
    bool held_ = false;
    ArchiveError heldFailure_;
};
