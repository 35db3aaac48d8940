#pragma once
// Match candidates for the ArpkLayer encoder's quick parse: hash chains, each a table of the
// newest position of every hash and a link from each position to the previous one of its
// hash. Every position is taken in, those inside copies too. Offsets are absolute, so the
// cheapest sources have chains of their own: the first 64 KiB (two-byte offsets) and the
// decoder's cached head, both built once and shared read-only by the finders of all blocks
// past the head; a block's own chain covers the decoder's window before it and itself.
#include <cstddef>
#include <cstdint>

#include "archive/arpk_match_finder.h"
#include "platform/large_block.h"

class ArpkQuickFinder {
public:
    static constexpr int MAX_MATCHES = 24;

    // A position's two keys, mixed: the first 16 bytes and the first 8. Each chain takes
    // the top bits of one of them.
    struct Keys {
        std::uint64_t key[2];
    };
    struct Chain {
        int shift = 64;        // 64 minus the table's bits
        std::size_t mask = 0;  // links are kept for mask + 1 positions
        platform::LargeArray<std::uint32_t> head, link;
        void init(std::size_t positions, int mostBits);
        std::uint32_t* slot(std::uint64_t key) const { return &head.data()[key >> shift]; }
        void insert(std::uint64_t key, std::size_t at) {
            std::uint32_t* h = slot(key);
            link[at & mask] = *h;
            *h = static_cast<std::uint32_t>(at + 1);
        }
    };
    // Chains over the first 64 KiB and over the head cache of data, for the blocks past it.
    // Of one source: keyed on its longest useful start and on a short one.
    using Chains = Chain[2];
    struct Shared {
        Chains cheap, head;
        Shared(const unsigned char* data, std::size_t size);
    };

    // For the parse of data from `from` to size; the reach bytes before from are taken in
    // first. shared: the head's chains, for a block past the head cache (else null).
    ArpkQuickFinder(const unsigned char* data, std::size_t size, std::size_t from,
                    std::size_t reach, const Shared* shared);
    // Positions must be asked for in increasing order; the ones between are taken in.
    // Gives for each chain its ever longer matches, nearest first.
    int find(std::size_t at, ArpkMatch* out);
    void prefetch(std::size_t at);
    // The parse takes a copy over [from, to): the inside of a long one is not taken in.
    void pass(std::size_t from, std::size_t to);

private:
    // Each position's keys are mixed once, for its insertion, its search and the prefetches.
    static constexpr std::size_t RING = 32;
    const Keys& keysAt(std::size_t at);
    void catchUp(std::size_t to);
    int walk(const Chain& c, std::uint32_t cand, bool cyclic, std::size_t at, int depth,
             std::size_t& best, ArpkMatch* out) const;
    int search(int source, bool cyclic, std::size_t at, const int* depth, ArpkMatch* out) const;

    const unsigned char* d_;
    std::size_t n_;
    std::size_t next_;  // the first position not yet taken in
    Chains own_, ownCheap_;
    const Chains* cheap_;
    const Chains* head_;
    // The cheap, head and own chains (null where there are none), and their newest
    // candidates for the position searched.
    const Chain* chains_[6] = {};
    std::uint32_t first_[6] = {};
    Keys keys_[RING];
    std::size_t keyAt_[RING];
};
