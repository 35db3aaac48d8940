#include "archive/decode_feed.h"

#include <algorithm>
#include <limits>

#include "archive/archive_progress.h"

namespace {

// How often the main thread looks at the extraction's progress while it waits for its end.
const std::chrono::milliseconds FOLLOW_INTERVAL{100};
// How much more than it needs an extractor that caught up with the decoder waits for.
const std::int64_t WAKE_STRETCH = 512 << 10;
const std::int64_t NOTHING_MORE = std::numeric_limits<std::int64_t>::max();

}  // namespace

void DecodeFeed::offerRing(platform::LargeBlock ring, std::size_t size) {
    std::lock_guard<std::mutex> l(lock_);
    ringSize_ = size;
    ring_ = std::move(ring);
}

DecodeFeed::Source DecodeFeed::publish(std::int64_t ready) {
    bool wake;
    Source source;
    {
        std::lock_guard<std::mutex> l(lock_);
        published_ = ready;
        source = source_;
        // The extractor mostly trails the decoder: wake it only when its bytes are there.
        wake = wanted_ > 0 && published_ >= wanted_;
    }
    if (wake) changed_.notify_all();
    return source;
}

bool DecodeFeed::reserve(std::int64_t until) {
    std::unique_lock<std::mutex> l(lock_);
    auto free = [&] {
        return held_ || extractorDone_ || source_ == Source::File || consumed_ >= until;
    };
    if (!free()) {
        reserveWait_ = until;
        // An extractor waiting for a good stretch takes what there is instead.
        changed_.notify_all();
        changed_.wait(l, free);
        reserveWait_ = 0;
    }
    return !held_;
}

DecodeFeed::Source DecodeFeed::settle() {
    std::unique_lock<std::mutex> l(lock_);
    // An extractor waiting for more of the directory than there is must not wait on.
    publishedAll_ = true;
    changed_.notify_all();
    changed_.wait(l, [&] { return held_ || extractorDone_ || source_ != Source::Undecided; });
    return source_;
}

void DecodeFeed::advance(std::int64_t written) {
    bool wake;
    {
        std::lock_guard<std::mutex> l(lock_);
        written_ = written;
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

bool DecodeFeed::identityOf(std::size_t i, platform::FileIdentity& out) const {
    std::lock_guard<std::mutex> l(lock_);
    if (i >= made_.size() || !made_[i]) return false;
    out = *made_[i];
    return true;
}

bool DecodeFeed::complete(std::size_t i) const {
    std::lock_guard<std::mutex> l(lock_);
    return i < completed_;
}

std::int64_t DecodeFeed::waitPublished(std::int64_t end) {
    std::unique_lock<std::mutex> l(lock_);
    if (published_ < end && !decoded_ && !publishedAll_ && !held_) {
        // Caught up: sleep until a good stretch is there, not for every unit.
        wanted_ = end + WAKE_STRETCH;
        changed_.wait(l, [&] {
            return published_ >= wanted_ || decoded_ || publishedAll_ || held_ ||
                   (reserveWait_ > 0 && published_ >= end);
        });
        wanted_ = 0;
    }
    return held_ ? -1 : published_;
}

void DecodeFeed::consumed(std::int64_t pos) {
    bool wake;
    {
        std::lock_guard<std::mutex> l(lock_);
        consumed_ = std::max(consumed_, pos);
        wake = reserveWait_ > 0 && consumed_ >= reserveWait_;
    }
    if (wake) changed_.notify_all();
}

void DecodeFeed::choose(Source source, std::vector<Region> regions) {
    {
        std::lock_guard<std::mutex> l(lock_);
        source_ = source;
        made_.assign(regions.size(), std::nullopt);
        regions_ = std::move(regions);
    }
    changed_.notify_all();
}

void DecodeFeed::created(std::size_t region, const platform::FileIdentity& id) {
    std::lock_guard<std::mutex> l(lock_);
    if (region >= made_.size()) return;
    made_[region] = id;
}

void DecodeFeed::completed(std::size_t region) {
    std::lock_guard<std::mutex> l(lock_);
    completed_ = std::max(completed_, region + 1);
}

bool DecodeFeed::waitFor(std::int64_t end) {
    std::unique_lock<std::mutex> l(lock_);
    if (written_ < end && !decoded_ && !held_) {
        wanted_ = end + WAKE_STRETCH;
        changed_.wait(l, [&] { return written_ >= wanted_ || decoded_ || held_; });
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
        consumed_ = NOTHING_MORE;
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
