#include "archive/arpk_match_finder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "archive/arpk_format.h"

namespace {

constexpr std::size_t MIN_MATCH = 4;
// Tree comparisons stop here; longer matches are extended directly.
constexpr std::size_t NICE = 192;
// A recorded walk: the source in the low bits, a flag for a match as long as the tree
// compares, the length in the top byte.
constexpr std::uint32_t RECORD_SRC = (1u << 23) - 1;
constexpr std::uint32_t RECORD_FULL = 1u << 23;
static_assert(NICE < 256 && ARPK_HEAD_CACHE <= RECORD_SRC + 1);

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

}  // namespace

void ArpkMatchFinder::FreeSlots::operator()(std::int32_t* p) const {
    std::free(p);
}

// Uninitialised: the walks read only slots they or an earlier insertion wrote.
ArpkMatchFinder::Slots ArpkMatchFinder::allocateSlots(std::size_t count) {
    void* p = std::malloc(std::max<std::size_t>(count, 1) * sizeof(std::int32_t));
    if (!p) throw std::bad_alloc();
    return Slots(static_cast<std::int32_t*>(p));
}

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
    // The window's tree reuses no node within these bytes: their walks may overlap.
    walkLanes(start, from, 0, 1);
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
    t->head = allocateSlots(std::size_t{1} << t->bits);
    std::fill_n(t->head.get(), std::size_t{1} << t->bits, -1);
    t->son = allocateSlots(2 * std::max<std::size_t>(cycle ? cycle : bound - from, 1));
    trees_.push_back(std::move(t));
}

// A walk down a binary tree of suffixes ordered by their bytes, from the root of at's
// bucket; at becomes that root when the tree takes it. Nodes deeper down are older, so the
// first of equally long matches is the nearest. A walk waits on memory at every node, so the
// walks of all trees for one position advance side by side (step), their waits overlapping;
// each also asks for both children of its node while it compares the node's bytes.
struct ArpkMatchFinder::Walk {
    Tree* t = nullptr;
    std::size_t at = 0, limit = 0, atNode = 0;
    // Nodes of positions this far back or more are reused (cyclic trees).
    std::size_t horizon = 0;
    std::size_t lenLess = 0, lenGreater = 0, bestLen = 0, bestSrc = 0;
    std::int32_t cur = -1, dummy = -1;
    // The slots where the next smaller and greater nodes go: at's own, or dummy.
    std::int32_t *less = nullptr, *greater = nullptr;
    int steps = 0;
    bool full = false;  // ended on a match as long as the tree compares

    // The node of c, from at's without a division in a cyclic tree: at - c < cycle.
    std::size_t node(std::size_t c) const {
        const std::size_t back = at - c;
        if (!t->cycle) return 2 * (atNode - back);
        return 2 * (atNode >= back ? atNode - back : atNode + t->cycle - back);
    }
    bool live(std::int32_t c) const {
        return c >= 0 && !(t->cycle && horizon - static_cast<std::size_t>(c) >= t->cycle);
    }
};

bool ArpkMatchFinder::start(Walk& w, Tree& t, std::size_t at, std::size_t horizon) const {
    if (at + MIN_MATCH > n_ || at < t.from) return false;
    const bool insert = at < t.bound;
    w.t = &t;
    w.at = at;
    w.horizon = horizon;
    w.limit = std::min(NICE, n_ - at);
    w.atNode = t.cycle ? at % t.cycle : at - t.from;
    w.steps = depth_;
    const std::uint32_t h = hash4(d_ + at, t.bits);
    w.cur = t.head[h];
    // son[2x] holds the smaller suffixes below x, son[2x + 1] the greater ones.
    w.less = insert ? &t.son[w.node(at)] : &w.dummy;
    w.greater = insert ? &t.son[w.node(at) + 1] : &w.dummy;
    if (insert) t.head[h] = static_cast<std::int32_t>(at);
    return true;
}

// One node of the walk; false once it has ended.
bool ArpkMatchFinder::step(Walk& w) const {
    if (w.steps == 0 || !w.live(w.cur)) {
        *w.less = -1;
        *w.greater = -1;
        return false;
    }
    --w.steps;
    const std::size_t c = static_cast<std::size_t>(w.cur), at = w.at;
    std::int32_t* kids = &w.t->son[w.node(c)];
    std::size_t len = std::min(w.lenLess, w.lenGreater);
    const std::int32_t smaller = kids[0], larger = kids[1];
    if (w.steps > 0)
        for (std::int32_t next : {smaller, larger})
            if (w.live(next)) {
                __builtin_prefetch(&w.t->son[w.node(static_cast<std::size_t>(next))]);
                __builtin_prefetch(d_ + next + len);
            }
    len += arpkCommonLength(d_ + c + len, d_ + at + len, w.limit - len);
    std::size_t usable = arpkUsableLength(c, at, len);
    if (usable > w.bestLen) w.bestLen = usable, w.bestSrc = c;
    if (len == w.limit) {
        // Equal as far as the tree compares: the new node takes the old one's place.
        *w.less = smaller;
        *w.greater = larger;
        w.full = true;
        return false;
    }
    const bool inserting = w.less != &w.dummy;
    if (d_[c + len] < d_[at + len]) {
        *w.less = w.cur;
        w.less = inserting ? kids + 1 : &w.dummy;
        w.lenLess = len;
        w.cur = larger;
    } else {
        *w.greater = w.cur;
        w.greater = inserting ? kids : &w.dummy;
        w.lenGreater = len;
        w.cur = smaller;
    }
    return true;
}

// Walks the trees for at side by side: all of them when reporting, else those that take at.
// A search also walks the trees for the next position, which the parse asks for next (or
// skips, taking it into the trees all the same), unless a tree would take both into one
// bucket; both walks then see the same nodes as live.
int ArpkMatchFinder::walkAll(std::size_t at, bool report, ArpkMatch* out) {
    const std::size_t trees = trees_.size();
    if (!records_.empty()) {
        if (!report) return 0;
        // The recorded walks; the trees that do not take at are walked now, read only.
        Walk w[MAX_TREES];
        bool going[MAX_TREES] = {};
        int walking = 0;
        for (std::size_t k = 0; k < trees; ++k)
            if (at >= trees_[k]->bound) walking += going[k] = start(w[k], *trees_[k], at, at);
        while (walking > 0)
            for (std::size_t k = 0; k < trees; ++k)
                if (going[k] && !(going[k] = step(w[k]))) --walking;
        for (std::size_t k = 0; k < trees; ++k) {
            const Tree& t = *trees_[k];
            if (at < t.from || at >= t.bound) {
                best_[k] = {w[k].bestLen, w[k].bestSrc, w[k].full};
            } else {
                const std::uint32_t r = records_[k][at - t.from];
                best_[k] = {r >> 24, r & RECORD_SRC, (r & RECORD_FULL) != 0};
            }
        }
    } else if (aheadAt_ != at) {
        const bool pair = report && at + 1 + MIN_MATCH <= n_ && [&] {
            for (const auto& t : trees_)
                if (at >= t->from && at < t->bound &&
                    hash4(d_ + at, t->bits) == hash4(d_ + at + 1, t->bits))
                    return false;
            return true;
        }();
        Walk w[2 * MAX_TREES];
        bool going[2 * MAX_TREES] = {};
        int walking = 0;
        for (std::size_t k = 0; k < trees; ++k) {
            Tree& t = *trees_[k];
            if (report || at < t.bound) walking += going[k] = start(w[k], t, at, at + pair);
            if (pair) walking += going[MAX_TREES + k] = start(w[MAX_TREES + k], t, at + 1, at + 1);
        }
        ahead(at + pair);
        while (walking > 0)
            for (std::size_t k = 0; k < 2 * MAX_TREES; ++k)
                if (going[k] && !(going[k] = step(w[k]))) --walking;
        for (std::size_t k = 0; k < trees; ++k) {
            best_[k] = {w[k].bestLen, w[k].bestSrc, w[k].full};
            if (pair)
                ahead_[k] = {w[MAX_TREES + k].bestLen, w[MAX_TREES + k].bestSrc,
                             w[MAX_TREES + k].full};
        }
        aheadAt_ = pair ? at + 1 : SIZE_MAX;
    } else {
        std::copy(ahead_, ahead_ + trees, best_);
        aheadAt_ = SIZE_MAX;
    }
    int count = 0;
    for (std::size_t k = 0; report && k < trees; ++k) {
        std::size_t len = best_[k].length;
        const std::size_t src = best_[k].src, limit = std::min(NICE, n_ - at);
        // The full length of the best long match, as far as a copy can use it.
        if (best_[k].full && len == limit) {
            const std::size_t most = arpkUsableLength(src, at, n_ - at);
            while (len < most && d_[src + len] == d_[at + len]) ++len;
        }
        if (len >= MIN_MATCH)
            out[count++] = {static_cast<std::uint32_t>(src), static_cast<std::uint32_t>(len)};
    }
    return count;
}

void ArpkMatchFinder::recordWalks() {
    records_.resize(trees_.size());
    for (std::size_t k = 0; k < trees_.size(); ++k) {
        if (trees_[k]->cycle || trees_[k]->bound > RECORD_SRC + 1) throw std::logic_error("walks");
        records_[k].assign(trees_[k]->bound - trees_[k]->from, 0);
    }
}

void ArpkMatchFinder::dropRecords() {
    records_ = {};
}

std::uint32_t ArpkMatchFinder::packed(const Walk& w) {
    return static_cast<std::uint32_t>(w.bestSrc | w.bestLen << 24) | (w.full ? RECORD_FULL : 0);
}

void ArpkMatchFinder::walkPart(std::size_t part, std::size_t parts) {
    walkLanes(0, n_, part, parts);
}

// Takes the positions from `from` to `to` into the trees, those of the buckets of part of
// parts, and records what they find when records are kept. Several walks go side by side,
// their waits on memory overlapping; a position whose bucket is still being walked waits
// for that walk to end. Only where no tree reuses a node meanwhile.
void ArpkMatchFinder::walkLanes(std::size_t from, std::size_t to, std::size_t part,
                                std::size_t parts) {
    constexpr int LANES = 8;
    constexpr std::size_t LOOK = 16;  // the buckets this many positions on are asked for
    Walk w[LANES];
    const Tree* tree[LANES] = {};
    std::uint32_t bucket[LANES] = {};
    std::uint32_t* record[LANES] = {};
    auto stepAll = [&] {
        for (int l = 0; l < LANES; ++l)
            if (tree[l] && !step(w[l])) {
                if (record[l]) *record[l] = packed(w[l]);
                tree[l] = nullptr;
            }
    };
    const bool keep = !records_.empty();
    for (std::size_t at = from; at < to && at + MIN_MATCH <= n_; ++at) {
        for (std::size_t k = 0; k < trees_.size(); ++k) {
            Tree& t = *trees_[k];
            if (at < t.from || at >= t.bound) continue;
            if (at + LOOK < t.bound && at + LOOK + MIN_MATCH <= n_)
                __builtin_prefetch(&t.head[hash4(d_ + at + LOOK, t.bits)]);
            const std::uint32_t h = hash4(d_ + at, t.bits);
            if (h % parts != part) continue;
            int lane;
            for (;;) {
                lane = -1;
                bool clash = false;
                for (int l = 0; l < LANES; ++l) {
                    if (!tree[l])
                        lane = l;
                    else if (tree[l] == &t && bucket[l] == h)
                        clash = true;
                }
                if (lane >= 0 && !clash) break;
                stepAll();
            }
            w[lane] = Walk{};
            start(w[lane], t, at, at);
            tree[lane] = &t;
            bucket[lane] = h;
            record[lane] = keep ? &records_[k][at - t.from] : nullptr;
        }
    }
    for (bool any = true; any;) {
        stepAll();
        any = std::any_of(tree, tree + LANES, [](const Tree* t) { return t != nullptr; });
    }
}

// The trees' buckets two positions on, and the first node of those one on: their walks then
// find them near the processor.
void ArpkMatchFinder::ahead(std::size_t at) const {
    for (const auto& t : trees_) {
        if (at + 2 + MIN_MATCH <= n_ && at + 2 >= t->from)
            __builtin_prefetch(&t->head[hash4(d_ + at + 2, t->bits)]);
        if (at + 1 + MIN_MATCH > n_ || at + 1 < t->from) continue;
        const std::int32_t c = t->head[hash4(d_ + at + 1, t->bits)];
        if (c < 0 || (t->cycle && at + 1 - static_cast<std::size_t>(c) >= t->cycle)) continue;
        const std::size_t i = t->cycle ? static_cast<std::size_t>(c) % t->cycle : c - t->from;
        __builtin_prefetch(&t->son[2 * i]);
        __builtin_prefetch(d_ + c);
    }
}

int ArpkMatchFinder::find(std::size_t at, ArpkMatch* out) {
    return walkAll(at, true, out);
}

void ArpkMatchFinder::skip(std::size_t at) {
    walkAll(at, false, nullptr);
}
