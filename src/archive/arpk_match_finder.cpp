#include "archive/arpk_match_finder.h"

#include <algorithm>
#include <cstring>

#include "archive/arpk_format.h"

namespace {

constexpr std::size_t MIN_MATCH = 4;
// Tree comparisons stop here; longer matches are extended directly.
constexpr std::size_t NICE = 192;

std::uint32_t load32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint32_t hash4(const unsigned char* p, int bits) {
    return (load32(p) * 2654435761u) >> (32 - bits);
}

// Small inputs get small tables: filling megabytes for a few kilobytes costs more than the
// encoding itself.
int bitsFor(std::size_t size, int most) {
    int bits = 8;
    while (bits < most && (std::size_t{1} << bits) < size) ++bits;
    return bits;
}

// The length of the common start of a and b, at most most bytes, eight at a time.
std::size_t commonLength(const unsigned char* a, const unsigned char* b, std::size_t most) {
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

}  // namespace

ArpkMatchFinder::ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth)
    : d_(data), n_(size), depth_(depth) {
    for (std::size_t bound : {std::size_t{256}, std::size_t{1} << 16, ARPK_HEAD_CACHE}) {
        addTree(0, std::min(bound, size), 0, bound <= 256 ? 8 : 22);
        if (bound >= size) break;
    }
    if (size > ARPK_HEAD_CACHE)
        addTree(ARPK_HEAD_CACHE, size, std::min(ARPK_WINDOW, size - ARPK_HEAD_CACHE), 22);
}

ArpkMatchFinder::ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth,
                                 std::size_t from, std::size_t reach)
    : d_(data), n_(size), depth_(depth) {
    const std::size_t start = std::max(ARPK_HEAD_CACHE, from - std::min(from, reach));
    addTree(start, size, std::min(ARPK_WINDOW, size - start), 22);
    std::size_t len = 0, src = 0;
    for (std::size_t at = start; at < from; ++at) walk(*trees_.back(), at, false, len, src);
}

void ArpkMatchFinder::shareHead(const ArpkMatchFinder& head) {
    trees_.insert(trees_.begin(), head.trees_.begin(), head.trees_.end());
}

void ArpkMatchFinder::addTree(std::size_t from, std::size_t bound, std::size_t cycle, int most) {
    auto t = std::make_shared<Tree>();
    t->from = from;
    t->bound = bound;
    t->cycle = cycle;
    t->bits = bitsFor(cycle ? cycle : bound - from, most);
    t->head.assign(std::size_t{1} << t->bits, -1);
    t->son.assign(2 * std::max<std::size_t>(cycle ? cycle : bound - from, 1), -1);
    trees_.push_back(std::move(t));
}

// One step down a binary tree of suffixes ordered by their bytes; the new position becomes
// the root of its bucket when the tree takes it. Nodes deeper down are older, so the first
// of equally long matches is the nearest.
void ArpkMatchFinder::walk(Tree& t, std::size_t at, bool report, std::size_t& bestLen,
                           std::size_t& bestSrc) {
    if (at + MIN_MATCH > n_ || at < t.from) return;
    const bool insert = at < t.bound;
    const std::size_t limit = std::min(NICE, n_ - at);
    auto node = [&t](std::size_t c) { return 2 * (t.cycle ? c % t.cycle : c - t.from); };
    const std::uint32_t h = hash4(d_ + at, t.bits);
    std::int32_t cur = t.head[h];
    std::int32_t dummy = -1;
    // son[2x] holds the smaller suffixes below x, son[2x + 1] the greater ones.
    std::int32_t* less = insert ? &t.son[node(at)] : &dummy;
    std::int32_t* greater = insert ? &t.son[node(at) + 1] : &dummy;
    if (insert) t.head[h] = static_cast<std::int32_t>(at);
    std::size_t lenLess = 0, lenGreater = 0;
    for (int steps = depth_; cur >= 0 && steps > 0; --steps) {
        const std::size_t c = static_cast<std::size_t>(cur);
        if (t.cycle && at - c >= t.cycle) break;  // its node was reused
        std::size_t len = std::min(lenLess, lenGreater);
        len += commonLength(d_ + c + len, d_ + at + len, limit - len);
        std::size_t usable = usableLength(c, at, len);
        if (usable > bestLen) bestLen = usable, bestSrc = c;
        if (len == limit) {
            // Equal as far as the tree compares: the new node takes the old one's place.
            *less = t.son[node(c)];
            *greater = t.son[node(c) + 1];
            // The full length of the best long match, as far as a copy can use it.
            if (report && bestLen == limit) {
                std::size_t most = usableLength(bestSrc, at, n_ - at);
                while (bestLen < most && d_[bestSrc + bestLen] == d_[at + bestLen]) ++bestLen;
            }
            return;
        }
        if (d_[c + len] < d_[at + len]) {
            *less = cur;
            less = insert ? &t.son[node(c) + 1] : &dummy;
            lenLess = len;
            cur = t.son[node(c) + 1];
        } else {
            *greater = cur;
            greater = insert ? &t.son[node(c)] : &dummy;
            lenGreater = len;
            cur = t.son[node(c)];
        }
    }
    *less = -1;
    *greater = -1;
}

// The length a copy from src may really take: no overlap with the target, within the
// largest copy, and wholly in the decoder's head cache or wholly in its window.
std::size_t ArpkMatchFinder::usableLength(std::size_t src, std::size_t at,
                                          std::size_t length) const {
    const std::size_t distance = at - src;
    length = std::min<std::size_t>({length, distance, ARPK_MAX_COPY});
    std::size_t inHead = src < ARPK_HEAD_CACHE ? std::min(length, ARPK_HEAD_CACHE - src) : 0;
    std::size_t inWindow =
        distance + ARPK_WINDOW_MARGIN <= ARPK_WINDOW ? std::min(length, ARPK_WINDOW - distance) : 0;
    return std::max(inHead, inWindow);
}

int ArpkMatchFinder::find(std::size_t at, ArpkMatch* out) {
    int count = 0;
    for (auto& t : trees_) {
        std::size_t len = 0, src = 0;
        walk(*t, at, true, len, src);
        if (len >= MIN_MATCH)
            out[count++] = {static_cast<std::uint32_t>(src), static_cast<std::uint32_t>(len)};
    }
    return count;
}

void ArpkMatchFinder::skip(std::size_t at) {
    for (auto& t : trees_) {
        if (at >= t->bound || at < t->from) continue;
        std::size_t len = 0, src = 0;
        walk(*t, at, false, len, src);
    }
}
