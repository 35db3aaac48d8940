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

    // Either side: keeps the first failure and hands its code back.
    int hold(int code, const char* format, const std::string& argument);

    // Main thread, once decoding is over: shows the extraction's progress until it ends.
    void followExtraction(const platform::System& system);
    // Main thread, after the worker has ended: reports the held failure, if any, from the
    // folder whose log it belongs in. Returns its code, or 0.
    int reportHeld(platform::FileSystem& fs, const std::string& destination);

private:
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::int64_t written_ = 0, wanted_ = 0, extracted_ = 0;
    std::int32_t totalSize_ = 0;
    bool decoded_ = false, processing_ = false, extractorDone_ = false;
    bool held_ = false, inDestination_ = false, heldInDestination_ = false;
    std::thread::id extractor_;
    int heldCode_ = 0;
    const char* heldFormat_ = nullptr;
    std::string heldArgument_;
};
