#pragma once
// The hand-over between the decoder of a large compressed package (main thread) and the
// extractor that writes its files meanwhile (a worker): how much of the temporary file is
// written, how far the extraction got, and the first failure of either side.
//
// While both run, failures are held rather than shown: a message box belongs to the main
// thread, and the working directory is the extractor's. The main thread reports the held
// one once the worker has ended.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/system.h"

// A layer that stops because the other side failed: the held failure is the one reported.
inline constexpr int ARCHIVE_STOPPED = -100;

class DecodeFeed {
public:
    // Decoder side: bytes [0, written) are in the temporary file.
    void advance(std::int64_t written);
    // Decoding is over, well or not; nothing more will be written.
    void finishDecoding();
    // Lets the extractor's thread, while it waits, write out bytes the decoder has handed over:
    // writer writes output [from, to) to the file; a failure of it is held with failure.
    void shareWriting(std::function<bool(std::int64_t, std::int64_t)> writer, std::int64_t backlog,
                      const char* failure, const std::string& argument);
    // With shared writing, instead of advance: bytes [0, ready) are final. The decoder writes
    // out itself when more than the backlog waits (or all, at the end). False when its own
    // write-out failed.
    bool handOver(std::int64_t ready, bool all);
    // The extractor failed: decoding ends without a word of its own.
    bool stopped() const;

    // Extractor side, from the worker: called first.
    void bindExtractor();
    // Waits until bytes [0, end) are written or decoding is over. False when a failure is
    // held (the extractor then stops quietly).
    bool waitFor(std::int64_t end);
    // Whether the working directory is the destination (where the extractor's log goes).
    void setInDestination(bool in);
    void startProcessing(std::int32_t totalSize);
    void extracted(std::int64_t written);
    void finishExtracting();

    // Either side: keeps the first failure and hands its code back; decoderSide for a
    // failure of the decoder's work done on the extractor's thread (logged where the
    // decoder's are).
    int hold(int code, const char* format, const std::string& argument, bool decoderSide = false);

    // Main thread, once decoding is over: shows the extraction's progress until it ends.
    void followExtraction(const platform::System& system);
    // Main thread, after the worker has ended: reports the held failure, if any, from the
    // folder whose log it belongs in. Returns its code, or 0.
    int reportHeld(platform::FileSystem& fs, const std::string& destination);

private:
    // Writes out [written_, ready_) while the lock is held by l, letting it go meanwhile.
    bool writeOutLocked(std::unique_lock<std::mutex>& l);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::int64_t written_ = 0, wanted_ = 0, extracted_ = 0;
    std::int64_t ready_ = 0, backlog_ = 0;
    bool writing_ = false;
    std::function<bool(std::int64_t, std::int64_t)> writer_;
    const char* writeFailure_ = nullptr;
    std::string writeFailureArgument_;
    std::int32_t totalSize_ = 0;
    bool decoded_ = false, processing_ = false, extractorDone_ = false;
    bool held_ = false, inDestination_ = false, heldInDestination_ = false;
    std::thread::id extractor_;
    int heldCode_ = 0;
    const char* heldFormat_ = nullptr;
    std::string heldArgument_;
};
