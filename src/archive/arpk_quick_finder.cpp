#include "archive/arpk_quick_finder.h"

#include <algorithm>
#include <cstring>

#include "archive/arpk_format.h"

namespace {

// Tables and links hold positions plus one: 0 is no position, so fresh tables need no fill.
constexpr std::uint32_t EMPTY = 0;
constexpr std::size_t MIN_MATCH = 4;
constexpr std::size_t CHEAP_END = std::size_t{1} << 16;
// A walk stops at a match this long: a longer one saves next to nothing more.
constexpr std::size_t NICE = 96;
// Each source has a chain keyed on its first 16 bytes, which finds the long matches, and one
// on its first 8; each is walked this far. Deeper walks gain little for their misses.
// The first 64 KiB's chains stay in the processor's cache: they are walked further.
constexpr int OWN_DEPTH[2] = {2, 2}, HEAD_DEPTH[2] = {2, 2}, CHEAP_DEPTH[2] = {4, 4};
constexpr std::size_t LONG_KEY = 16;
// Of a long copy only the positions this near its ends are taken in: its inside would mostly
// give copies of the same source again.
constexpr std::size_t LONG_COPY_EDGE = 128;
// Links are read ahead of the insertions this many positions.
constexpr std::size_t AHEAD = 8;

std::uint32_t load32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

ArpkQuickFinder::Keys keysOf(const unsigned char* p) {
    std::uint64_t v, w;
    std::memcpy(&v, p, 8);
    std::memcpy(&w, p + 8, 8);
    constexpr std::uint64_t MIX = 0x9E3779B97F4A7C15ull;
    return {{(v ^ w * 0xC2B2AE3D27D4EB4Full) * MIX, v * MIX}};
}

std::size_t powerAtLeast(std::size_t n) {
    std::size_t p = 256;
    while (p < n) p <<= 1;
    return p;
}

}  // namespace

// A slot for each position: with fewer, most links lead to other keys, and the short walks
// spend their depth on them. Small inputs get small tables: filling megabytes for a few
// kilobytes costs more than the encoding itself.
void ArpkQuickFinder::Chain::init(std::size_t positions, int mostBits) {
    const std::size_t cycle = powerAtLeast(positions);
    int bits = 8;
    while (bits < mostBits && (std::size_t{1} << bits) < cycle) ++bits;
    shift = 64 - bits;
    mask = cycle - 1;
    head.assign(std::size_t{1} << bits);
    link.assign(cycle);
}

ArpkQuickFinder::Shared::Shared(const unsigned char* data, std::size_t size) {
    const std::size_t end = std::min(ARPK_HEAD_CACHE, size < 32 + AHEAD ? 0 : size - 32 - AHEAD);
    for (int k = 0; k < 2; ++k) {
        cheap[k].init(CHEAP_END, 16);
        head[k].init(ARPK_HEAD_CACHE, 23);
    }
    for (std::size_t at = 0; at < end; ++at) {
        const Keys ahead = keysOf(data + at + AHEAD), keys = keysOf(data + at);
        for (int k = 0; k < 2; ++k) {
            __builtin_prefetch(head[k].slot(ahead.key[k]), 1);
            head[k].insert(keys.key[k], at);
            if (at < CHEAP_END) cheap[k].insert(keys.key[k], at);
        }
    }
}

ArpkQuickFinder::ArpkQuickFinder(const unsigned char* data, std::size_t size, std::size_t from,
                                 std::size_t reach, const Shared* shared)
    : d_(data), n_(size), next_(from - std::min(from, reach)), cheap_(nullptr), head_(nullptr) {
    if (shared) {
        // Past the head: the window before the block and the block itself.
        for (int k = 0; k < 2; ++k) own_[k].init(std::min(ARPK_WINDOW, size - next_), 22);
        cheap_ = &shared->cheap;
        head_ = &shared->head;
    } else {
        // Within the head every earlier byte is a source; the first 64 KiB apart as well.
        for (int k = 0; k < 2; ++k) {
            own_[k].init(size, 23);
            ownCheap_[k].init(std::min(size, CHEAP_END), 16);
        }
        cheap_ = &ownCheap_;
    }
    std::fill(std::begin(keyAt_), std::end(keyAt_), SIZE_MAX);
    for (int k = 0; k < 2; ++k) {
        chains_[k] = &(*cheap_)[k];
        chains_[2 + k] = head_ ? &(*head_)[k] : nullptr;
        chains_[4 + k] = &own_[k];
    }
    catchUp(from);
}

const ArpkQuickFinder::Keys& ArpkQuickFinder::keysAt(std::size_t at) {
    const std::size_t slot = at % RING;
    if (keyAt_[slot] != at) {
        keys_[slot] = keysOf(d_ + at);
        keyAt_[slot] = at;
    }
    return keys_[slot];
}

void ArpkQuickFinder::catchUp(std::size_t to) {
    // The last bytes are never hashed: a copy there would save nothing.
    const std::size_t end = std::min(to, n_ < 32 ? 0 : n_ - 32);
    std::size_t at = next_;
    next_ = std::max(next_, to);
    if (at >= end) return;
    // The first 64 KiB's own chains, within the head.
    if (cheap_ == &ownCheap_)
        for (; at < std::min(end, CHEAP_END); ++at) {
            const Keys& keys = keysAt(at);
            for (int k = 0; k < 2; ++k) {
                own_[k].insert(keys.key[k], at);
                ownCheap_[k].insert(keys.key[k], at);
            }
        }
    // The tables in locals: the compiler cannot tell that the links' stores leave them be.
    std::uint32_t *const head0 = own_[0].head.data(), *const head1 = own_[1].head.data();
    std::uint32_t *const link0 = own_[0].link.data(), *const link1 = own_[1].link.data();
    const int shift0 = own_[0].shift, shift1 = own_[1].shift;
    const std::size_t mask = own_[0].mask;
    for (; at < end; ++at) {
        if (at + AHEAD < end) {
            const std::size_t slot = (at + AHEAD) % RING;
            const Keys ahead = keysOf(d_ + at + AHEAD);
            keys_[slot] = ahead;
            keyAt_[slot] = at + AHEAD;
            __builtin_prefetch(head0 + (ahead.key[0] >> shift0), 1);
            __builtin_prefetch(head1 + (ahead.key[1] >> shift1), 1);
        }
        const Keys keys = keysAt(at);
        std::uint32_t* const h0 = head0 + (keys.key[0] >> shift0);
        std::uint32_t* const h1 = head1 + (keys.key[1] >> shift1);
        link0[at & mask] = *h0;
        *h0 = static_cast<std::uint32_t>(at + 1);
        link1[at & mask] = *h1;
        *h1 = static_cast<std::uint32_t>(at + 1);
    }
}

// Candidates newest first; reported when longer than every one before.
int ArpkQuickFinder::walk(const Chain& c, std::uint32_t cand, bool cyclic, std::size_t at,
                          int depth, std::size_t& best, ArpkMatch* out) const {
    const std::size_t left = n_ - at;
    const std::uint32_t first = load32(d_ + at);
    int count = 0;
    if (best >= left) return 0;
    for (; cand != EMPTY && depth > 0; --depth) {
        const std::size_t src = cand - 1;
        if (src >= at || (cyclic && at - src > c.mask)) break;
        if (load32(d_ + src) == first && d_[src + best] == d_[at + best]) {
            const std::size_t most = arpkUsableLength(src, at, left);
            if (most > best) {
                std::size_t len =
                    MIN_MATCH +
                    arpkCommonLength(d_ + src + MIN_MATCH, d_ + at + MIN_MATCH, most - MIN_MATCH);
                if (len > best) {
                    best = len;
                    out[count++] = {static_cast<std::uint32_t>(src),
                                    static_cast<std::uint32_t>(len)};
                    if (len >= NICE || len == left || count == MAX_MATCHES / 6) break;
                }
            }
        }
        cand = c.link[src & c.mask];
    }
    return count;
}

void ArpkQuickFinder::pass(std::size_t from, std::size_t to) {
    if (to - from <= 2 * LONG_COPY_EDGE) return;
    catchUp(from + LONG_COPY_EDGE);
    next_ = to - LONG_COPY_EDGE;
}

// The long-keyed chain first; the short one then looks only for longer matches.
int ArpkQuickFinder::search(int source, bool cyclic, std::size_t at, const int* depth,
                            ArpkMatch* out) const {
    const Chain* const* c = &chains_[2 * source];
    const std::uint32_t* first = &first_[2 * source];
    std::size_t best = MIN_MATCH;
    int count = walk(*c[0], first[0], cyclic, at, depth[0], best, out);
    if (best < LONG_KEY) count += walk(*c[1], first[1], cyclic, at, depth[1], best, out + count);
    return count;
}

int ArpkQuickFinder::find(std::size_t at, ArpkMatch* out) {
    catchUp(at);
    if (at + 32 > n_) return 0;
    // Every chain's newest candidate asked for at once, so that their misses overlap.
    const Keys& keys = keysAt(at);
    for (int k = at >= CHEAP_END ? 0 : 2; k < 6; ++k) {
        if (!chains_[k]) continue;
        const Chain& c = *chains_[k];
        const std::uint32_t cand = *c.slot(keys.key[k & 1]);
        first_[k] = cand;
        if (cand != EMPTY && cand <= at) {
            __builtin_prefetch(d_ + cand - 1);
            __builtin_prefetch(&c.link[(cand - 1) & c.mask]);
        }
    }
    int count = 0;
    // The cheapest sources first: a long match there ends the search.
    if (at >= CHEAP_END) {
        count = search(0, false, at, CHEAP_DEPTH, out);
        if (count > 0 && out[count - 1].length >= NICE) return count;
    }
    if (head_) {
        int c = search(1, false, at, HEAD_DEPTH, out + count);
        count += c;
        if (c > 0 && out[count - 1].length >= NICE) return count;
    }
    count += search(2, true, at, OWN_DEPTH, out + count);
    return count;
}

void ArpkQuickFinder::prefetch(std::size_t at) {
    if (at + 32 > n_) return;
    const Keys& keys = keysAt(at);
    for (int k = 0; k < 2; ++k) {
        __builtin_prefetch(own_[k].slot(keys.key[k]));
        if (head_) __builtin_prefetch((*head_)[k].slot(keys.key[k]));
    }
}
