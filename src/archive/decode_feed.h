#pragma once
// The hand-over between the decoder of a large compressed package (main thread) and the
// extractor that writes its files meanwhile (a worker): how far the decoded archive is there,
// how far the extraction got, and the first failure of either side, which is the failure of
// both. It only keeps that failure: the package operation shows it once the worker has ended.
//
// The extractor first reads the archive's directory from the decoder's ring of recent output,
// then chooses where it reads the files' data. An archive that keeps its files' data in the
// order of its directory (as every package maker writes it) is read from the ring as it is
// decoded, and nothing else is written: a copy from output that neither the decoder's head
// cache nor its ring still holds is read back from the file that was written from it. Any
// other archive is read from the temporary file, which the decoder then writes whole.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_result.h"
#include "platform/file_system.h"
#include "platform/large_block.h"
#include "platform/system.h"

// A layer that stops because the other side failed: the held failure is the one that counts.
inline constexpr int ARCHIVE_STOPPED = -100;

class DecodeFeed {
public:
    enum class Source { Undecided, Ring, File };

    // The data of one non-empty file in the decoded archive, in the order written.
    struct Region {
        std::int64_t start = 0, end = 0;
        std::string name;
        std::int64_t accessTime = 0, modifyTime = 0;
    };

    // The destination as the decoder's thread opened it, for copies read back from files.
    platform::OutputFolder* outputs = nullptr;

    // Decoder side. The ring of recent output: position p at ring[p & (size - 1)]. Given
    // before anything is published; the feed keeps it until both sides have ended.
    void offerRing(platform::LargeBlock ring, std::size_t size);
    // Bytes [0, ready) are final in the ring; the source chosen so far.
    Source publish(std::int64_t ready);
    // Waits until the extractor reads nothing below position until from the ring any more.
    // False when a failure is held.
    bool reserve(std::int64_t until);
    // With the file as source: bytes [0, written) are in the temporary file.
    void advance(std::int64_t written);
    // With all published: waits until the extractor has chosen (or ended); the source.
    Source settle();
    // Decoding is over, well or not; nothing more will be published or written.
    void finishDecoding();
    // The extractor failed: decoding ends without a word of its own.
    bool stopped() const;
    // With the ring as source: the regions (sorted, disjoint), the identity of region i's
    // file once it is made (false before), and whether its file is whole with its times set.
    const std::vector<Region>& regions() const { return regions_; }
    bool identityOf(std::size_t i, platform::FileIdentity& out) const;
    bool complete(std::size_t i) const;

    // Extractor side, from the worker.
    const unsigned char* ring() const { return ring_.get(); }
    std::size_t ringSize() const { return ringSize_; }
    // Reading from the ring: waits until [0, end) is published or decoding is over, and
    // gives how far it is published. -1 when a failure is held.
    std::int64_t waitPublished(std::int64_t end);
    // Ring slots of positions below pos may be used again.
    void consumed(std::int64_t pos);
    // Chosen once the directory is read; regions only with the ring.
    void choose(Source source, std::vector<Region> regions = {});
    void created(std::size_t region, const platform::FileIdentity& id);
    void completed(std::size_t region);
    // Reading from the file: waits until [0, end) is written or decoding is over. False when a
    // failure is held (the extractor then stops quietly).
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
    void holdLocked(const ArchiveError& failure);

    mutable std::mutex lock_;
    std::condition_variable changed_;
    platform::LargeBlock ring_;
    std::size_t ringSize_ = 0;
    Source source_ = Source::Undecided;
    std::vector<Region> regions_;  // set once, before the ring is chosen
    std::vector<std::optional<platform::FileIdentity>> made_;  // each region's file, once made
    std::size_t completed_ = 0;                                // regions whose files are whole
    std::int64_t published_ = 0, consumed_ = 0, written_ = 0, extracted_ = 0;
    std::int64_t wanted_ = 0;       // the extractor sleeps until this much is there
    std::int64_t reserveWait_ = 0;  // the decoder sleeps until this much is consumed
    std::int32_t totalSize_ = 0;
    bool publishedAll_ = false;
    bool decoded_ = false, processing_ = false, extractorDone_ = false;
    bool held_ = false;
    ArchiveError heldFailure_;
};
