#include "archive/decode_feed.h"

#include "archive/archive_progress.h"

namespace {

// How often the main thread looks at the extraction's progress while it waits for its end.
const std::chrono::milliseconds FOLLOW_INTERVAL{100};
// How much more than it needs an extractor that caught up with the decoder waits for.
const std::size_t WAKE_STRETCH = 512u << 10;

}  // namespace

void DecodeFeed::advance(std::int64_t written) {
    bool wake;
    {
        std::lock_guard<std::mutex> l(lock_);
        written_ = written;
        // The extractor mostly trails the decoder: wake it only when its bytes are there.
        wake = wanted_ > 0 && written_ >= wanted_;
    }
    if (wake) changed_.notify_all();
}

void DecodeFeed::finishDecoding() {
    {
        std::lock_guard<std::mutex> l(lock_);
        decoded_ = true;
    }
    changed_.notify_all();
}

bool DecodeFeed::stopped() const {
    std::lock_guard<std::mutex> l(lock_);
    return held_;
}

void DecodeFeed::shareWriting(std::function<bool(std::int64_t, std::int64_t)> writer,
                              std::int64_t backlog, ArchiveError failure) {
    std::lock_guard<std::mutex> l(lock_);
    writer_ = std::move(writer);
    backlog_ = backlog;
    writeFailure_ = std::move(failure);
}

bool DecodeFeed::writeOutLocked(std::unique_lock<std::mutex>& l) {
    const std::int64_t from = written_, to = ready_;
    writing_ = true;
    l.unlock();
    bool ok = writer_(from, to);
    l.lock();
    writing_ = false;
    if (ok) written_ = to;
    changed_.notify_all();
    return ok;
}

void DecodeFeed::stopSharing() {
    std::unique_lock<std::mutex> l(lock_);
    changed_.wait(l, [&] { return !writing_; });
    writer_ = nullptr;
}

bool DecodeFeed::handOver(std::int64_t ready, bool all) {
    std::unique_lock<std::mutex> l(lock_);
    ready_ = ready;
    // An extractor waiting for bytes writes them out itself, off the decoder's thread.
    if (wanted_ > 0) changed_.notify_all();
    while (ready_ - written_ > (all ? 0 : backlog_)) {
        if (writing_) {
            changed_.wait(l, [&] { return !writing_; });
            continue;
        }
        if (!writeOutLocked(l)) return false;
    }
    return true;
}

bool DecodeFeed::waitFor(std::int64_t end) {
    std::unique_lock<std::mutex> l(lock_);
    while (written_ < end && !decoded_ && !held_) {
        if (writer_ && !writing_ && ready_ > written_) {
            if (!writeOutLocked(l)) holdLocked(writeFailure_);
            continue;
        }
        // Caught up: sleep until a good stretch is there, not for every write-out.
        wanted_ = end + static_cast<std::int64_t>(WAKE_STRETCH);
        changed_.wait(l, [&] {
            return written_ >= wanted_ || decoded_ || held_ ||
                   (writer_ && !writing_ && ready_ > written_);
        });
        wanted_ = 0;
    }
    return !held_;
}

void DecodeFeed::startProcessing(std::int32_t totalSize) {
    std::lock_guard<std::mutex> l(lock_);
    processing_ = true;
    totalSize_ = totalSize;
}

void DecodeFeed::extracted(std::int64_t written) {
    std::lock_guard<std::mutex> l(lock_);
    extracted_ = written;
}

void DecodeFeed::finishExtracting() {
    {
        std::lock_guard<std::mutex> l(lock_);
        extractorDone_ = true;
    }
    changed_.notify_all();
}

void DecodeFeed::holdLocked(const ArchiveError& failure) {
    if (held_) return;
    held_ = true;
    heldFailure_ = failure;
    changed_.notify_all();
}

void DecodeFeed::hold(const ArchiveError& failure) {
    std::lock_guard<std::mutex> l(lock_);
    holdLocked(failure);
}

ArchiveError DecodeFeed::held() const {
    std::lock_guard<std::mutex> l(lock_);
    return held_ ? heldFailure_ : ArchiveError{};
}

void DecodeFeed::followExtraction(const platform::System& system) {
    bool shown = false;
    for (;;) {
        std::unique_lock<std::mutex> l(lock_);
        bool show = processing_ && !held_ && !shown;
        bool done = extractorDone_;
        std::int64_t extracted = extracted_;
        std::int32_t total = totalSize_;
        l.unlock();
        // The second pass of the display, as when the passes run one after the other.
        if (show) {
            beginArchiveProgress(system);
            setArchiveProgressText(ARCHIVE_PROCESSING_TEXT, total);
            shown = true;
        }
        if (shown) stepArchiveProgress(extracted / 3, total, 66);
        if (done) break;
        l.lock();
        changed_.wait_for(l, FOLLOW_INTERVAL, [&] { return extractorDone_; });
    }
    endArchiveProgress();
}
