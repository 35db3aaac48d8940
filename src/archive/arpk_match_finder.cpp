#include "archive/arpk_match_finder.h"

#include <algorithm>

#include "archive/arpk_format.h"

namespace {

constexpr std::size_t MIN_MATCH = 4;
// Tree comparisons stop here; longer matches are extended directly.
constexpr std::size_t NICE = 192;
// Copies from beyond the decoder's cached head cost two seeks; keep them for long matches.
constexpr std::size_t FAR_MIN_MATCH = 32;
constexpr std::size_t FAR_WINDOW = 1u << 22;
constexpr std::size_t FAR_HASH_BYTES = 8;

std::uint32_t load32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t hash4(const unsigned char* p, int bits) {
    return (load32(p) * 2654435761u) >> (32 - bits);
}

std::uint32_t hash8(const unsigned char* p, int bits) {
    std::uint64_t v =
        static_cast<std::uint64_t>(load32(p)) | static_cast<std::uint64_t>(load32(p + 4)) << 32;
    return static_cast<std::uint32_t>((v * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

// Small inputs get small tables: filling megabytes for a few kilobytes costs more than the
// encoding itself.
int bitsFor(std::size_t size, int most) {
    int bits = 8;
    while (bits < most && (std::size_t{1} << bits) < size) ++bits;
    return bits;
}

}  // namespace

ArpkMatchFinder::ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth)
    : d_(data), n_(size), depth_(std::max(depth, 1)) {
    for (std::size_t bound : {std::size_t{256}, std::size_t{1} << 16, ARPK_HEAD_CACHE}) {
        Tree t;
        t.bound = std::min(bound, size);
        t.bits = bitsFor(t.bound, bound <= 256 ? 8 : 22);
        t.head.assign(std::size_t{1} << t.bits, -1);
        t.son.assign(2 * std::max<std::size_t>(t.bound, 1), -1);
        trees_.push_back(std::move(t));
        if (bound >= size) break;
    }
    farFrom_ = std::min(size, ARPK_HEAD_CACHE);
    if (size > farFrom_) {
        farBits_ = bitsFor(size - farFrom_, 20);
        farHead_.assign(std::size_t{1} << farBits_, -1);
        farPrev_.assign(std::min(FAR_WINDOW, size - farFrom_), -1);
    }
}

// One step down a binary tree of suffixes ordered by their bytes; the new position becomes
// the root of its bucket when it lies below the tree's bound.
void ArpkMatchFinder::walk(Tree& t, std::size_t at, bool report, std::size_t& bestLen,
                           std::size_t& bestSrc) {
    if (at + MIN_MATCH > n_) return;
    const bool insert = at < t.bound;
    const std::size_t limit = std::min(NICE, n_ - at);
    const std::uint32_t h = hash4(d_ + at, t.bits);
    std::int32_t cur = t.head[h];
    std::int32_t dummy = -1;
    // son[2x] holds the smaller suffixes below x, son[2x + 1] the greater ones.
    std::int32_t* less = insert ? &t.son[2 * at] : &dummy;
    std::int32_t* greater = insert ? &t.son[2 * at + 1] : &dummy;
    if (insert) t.head[h] = static_cast<std::int32_t>(at);
    std::size_t lenLess = 0, lenGreater = 0;
    for (int steps = depth_; cur >= 0 && steps > 0; --steps) {
        const std::size_t c = static_cast<std::size_t>(cur);
        std::size_t len = std::min(lenLess, lenGreater);
        while (len < limit && d_[c + len] == d_[at + len]) ++len;
        if (len > bestLen || (len == bestLen && c < bestSrc)) bestLen = len, bestSrc = c;
        if (len == limit) {
            // Equal as far as the tree compares: the new node takes the old one's place.
            *less = t.son[2 * c];
            *greater = t.son[2 * c + 1];
            // The full length of this long match, as far as a copy can use it.
            std::size_t most = std::min<std::size_t>({n_ - at, ARPK_MAX_COPY, at - bestSrc});
            if (!report) return;
            while (bestLen < most && d_[bestSrc + bestLen] == d_[at + bestLen]) ++bestLen;
            return;
        }
        if (d_[c + len] < d_[at + len]) {
            *less = cur;
            less = insert ? &t.son[2 * c + 1] : &dummy;
            lenLess = len;
            cur = t.son[2 * c + 1];
        } else {
            *greater = cur;
            greater = insert ? &t.son[2 * c] : &dummy;
            lenGreater = len;
            cur = t.son[2 * c];
        }
    }
    *less = -1;
    *greater = -1;
}

void ArpkMatchFinder::findFar(std::size_t at, std::size_t& bestLen, std::size_t& bestSrc) const {
    if (at < farFrom_ || at + FAR_HASH_BYTES > n_) return;
    std::int32_t cur = farHead_[hash8(d_ + at, farBits_)];
    const std::size_t most = std::min<std::size_t>(n_ - at, ARPK_MAX_COPY);
    for (int steps = depth_; cur >= 0 && steps > 0; --steps) {
        const std::size_t c = static_cast<std::size_t>(cur);
        if (at - c >= FAR_WINDOW) break;
        const std::size_t limit = std::min(most, at - c);
        std::size_t len = 0;
        while (len < limit && d_[c + len] == d_[at + len]) ++len;
        if (len > bestLen) bestLen = len, bestSrc = c;
        if (len == most) break;
        cur = farPrev_[c % farPrev_.size()];
    }
}

void ArpkMatchFinder::insertFar(std::size_t at) {
    if (at < farFrom_ || at + FAR_HASH_BYTES > n_) return;
    std::int32_t& head = farHead_[hash8(d_ + at, farBits_)];
    farPrev_[at % farPrev_.size()] = head;
    head = static_cast<std::int32_t>(at);
}

// The length a copy from src may really take: no overlap with the target, within the
// largest copy, and short copies only from the decoder's cached head.
std::size_t ArpkMatchFinder::clampLength(std::size_t src, std::size_t at,
                                         std::size_t length) const {
    length = std::min<std::size_t>({length, at - src, ARPK_MAX_COPY});
    if (src + length > ARPK_HEAD_CACHE && length < FAR_MIN_MATCH)
        length = src < ARPK_HEAD_CACHE ? ARPK_HEAD_CACHE - src : 0;
    return length;
}

int ArpkMatchFinder::find(std::size_t at, ArpkMatch* out) {
    int count = 0;
    auto add = [&](std::size_t src, std::size_t length) {
        std::size_t full = clampLength(src, at, length);
        if (full < MIN_MATCH) return;
        std::size_t minLength = MIN_MATCH;
        if (src + full > ARPK_HEAD_CACHE) {
            // Long far copies, and the part that still lies in the cached head.
            minLength = FAR_MIN_MATCH;
            if (src + MIN_MATCH <= ARPK_HEAD_CACHE)
                out[count++] = {static_cast<std::uint32_t>(src),
                                static_cast<std::uint32_t>(ARPK_HEAD_CACHE - src),
                                static_cast<std::uint32_t>(MIN_MATCH)};
        }
        out[count++] = {static_cast<std::uint32_t>(src), static_cast<std::uint32_t>(full),
                        static_cast<std::uint32_t>(minLength)};
    };
    for (Tree& t : trees_) {
        std::size_t len = 0, src = 0;
        walk(t, at, true, len, src);
        if (len >= MIN_MATCH) add(src, len);
    }
    std::size_t len = 0, src = 0;
    findFar(at, len, src);
    if (len >= FAR_MIN_MATCH) add(src, len);
    insertFar(at);
    return count;
}

void ArpkMatchFinder::skip(std::size_t at) {
    for (Tree& t : trees_) {
        if (at >= t.bound) continue;
        std::size_t len = 0, src = 0;
        walk(t, at, false, len, src);
    }
    insertFar(at);
}
