#pragma once
// Match candidates for the ArpkLayer encoder. Offsets are absolute, so the finder looks for
// the longest match among the cheapest sources: binary trees over the first 256 bytes, the
// first 64 KiB and the decoder's cached head, and a cyclic one over the decoder's window of
// recent output beyond the head. Every source it offers is one the decoder holds in memory;
// among equally long ones beyond 64 KiB it offers the nearest, which the reader finds in
// its caches.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "archive/arpk_format.h"

// The length of the common start of a and b, at most most bytes, eight at a time.
inline std::size_t arpkCommonLength(const unsigned char* a, const unsigned char* b,
                                    std::size_t most) {
    std::size_t len = 0;
    while (len + 8 <= most) {
        std::uint64_t x, y;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) return len + static_cast<std::size_t>(__builtin_ctzll(x ^ y) >> 3);
        len += 8;
    }
    while (len < most && a[len] == b[len]) ++len;
    return len;
}

// The length a copy from src may really take at at: no overlap with the target, within the
// largest copy, and wholly in the decoder's head cache or wholly in its window.
inline std::size_t arpkUsableLength(std::size_t src, std::size_t at, std::size_t length) {
    const std::size_t distance = at - src;
    length = std::min<std::size_t>({length, distance, ARPK_MAX_COPY});
    std::size_t inHead = src < ARPK_HEAD_CACHE ? std::min(length, ARPK_HEAD_CACHE - src) : 0;
    std::size_t inWindow =
        distance + ARPK_WINDOW_MARGIN <= ARPK_WINDOW ? std::min(length, ARPK_WINDOW - distance) : 0;
    return std::max(inHead, inWindow);
}

struct ArpkMatch {
    std::uint32_t src = 0;
    std::uint32_t length = 0;  // the longest usable length from src (at least 4)
};

class ArpkMatchFinder {
public:
    static constexpr int MAX_MATCHES = 32;

    ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth);
    // For the parse of a block from `from` (past the head cache) to size: a window of its own,
    // filled with the reach bytes before from, so that copies cross into them.
    ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth, std::size_t from,
                    std::size_t reach);
    // Searches the trees of head, a finder of the closest parse whose whole input lies in the
    // head cache and has been seen, read-only and shared with other finders.
    void shareHead(const ArpkMatchFinder& head);
    // Must be called for each position in increasing order (or skip() for it).
    int find(std::size_t at, ArpkMatch* out);
    void skip(std::size_t at);

    // For a finder of the head cache, before any find: its walks done ahead, by several
    // threads. A tree's buckets share no nodes, so part of parts walks every position of the
    // buckets that fall to it, in order, and records what it found; the trees end up as if
    // each position had been searched in turn. Once every part has run, find() reads the
    // records and skip() has nothing left to do.
    void recordWalks();
    void walkPart(std::size_t part, std::size_t parts);
    void dropRecords();

private:
    struct FreeSlots {
        void operator()(std::int32_t* p) const;
    };
    using Slots = std::unique_ptr<std::int32_t[], FreeSlots>;
    struct Tree {
        std::size_t from = 0, bound = 0;  // positions in [from, bound) are inserted
        std::size_t cycle = 0;            // nodes are kept for this many positions (0: all)
        int bits = 0;
        Slots head, son;  // son's slots are written when their position is inserted
    };
    static Slots allocateSlots(std::size_t count);
    void addTree(std::size_t from, std::size_t bound, std::size_t cycle, int most);
    void ahead(std::size_t at) const;
    struct Walk;
    static constexpr std::size_t MAX_TREES = 4;
    bool start(Walk& w, Tree& t, std::size_t at, std::size_t horizon) const;
    bool step(Walk& w) const;
    void walkLanes(std::size_t from, std::size_t to, std::size_t part, std::size_t parts);
    static std::uint32_t packed(const Walk& w);
    int walkAll(std::size_t at, bool report, ArpkMatch* out);

    const unsigned char* d_;
    std::size_t n_;
    int depth_;
    std::vector<std::shared_ptr<Tree>> trees_;
    struct Found {
        std::size_t length = 0, src = 0;
        bool full = false;  // as long as the tree compares: to be extended
    };
    Found best_[MAX_TREES], ahead_[MAX_TREES];  // per tree, for a position and the next
    std::size_t aheadAt_ = SIZE_MAX;
    // Per tree, what each position it takes found (recordWalks): empty, or bound - from.
    std::vector<std::vector<std::uint32_t>> records_;
};
