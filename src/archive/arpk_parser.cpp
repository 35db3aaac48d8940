#include "archive/arpk_parser.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "archive/arpk_format.h"
#include "archive/arpk_match_finder.h"
#include "archive/arpk_quick_finder.h"

namespace {

// Positions decided at a time; a copy never crosses the end of a segment.
constexpr std::size_t SEGMENT = 1u << 18;
// Prices are in sixteenths of a byte. Each copy costs the reader a token's work: a quarter
// byte, so of two parses of the same size the one with fewer copies wins. A copy from farther
// back than NEAR also costs it a wait for memory: one and a half bytes, so such a copy is
// taken only when it saves two bytes against literals (packages grow by under 1%, and decode
// some 15% faster). Among sources of one offset width the finder offers the nearest.
constexpr std::uint32_t UNIT = 16;
constexpr std::uint32_t COPY_PENALTY = 4;
constexpr std::uint32_t FAR_PENALTY = 24;
constexpr std::size_t NEAR = 1u << 20;
constexpr std::uint32_t INF = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint32_t MIN_COPY = 4;
// A match this long is taken at once: searching inside it gains next to nothing.
constexpr std::uint32_t TAKE_AT_ONCE = 192;
// The quick parse looks further ahead only from copies shorter than this, and at most this
// many positions.
constexpr std::uint32_t LAZY_BELOW = 32;
constexpr int LAZY_STEPS = 2;
// After this many searched positions in a row that copy nothing the quick parse searches
// fewer, and ever fewer the longer the streak.
constexpr std::size_t SKIP_AFTER = 256;
constexpr std::uint32_t LITERALS_AT_ONCE = 1u << 14;

int widthOf(std::uint32_t v) {
    return v < 0x100 ? 1 : v < 0x10000 ? 2 : v < 0x1000000 ? 3 : 4;
}

// Token sizes by offset and length width; the escape blocks one code.
void copyCosts(int escape, int (&cost)[5][3]) {
    for (int ow = 1; ow <= 4; ++ow)
        for (int lw = 1; lw <= 2; ++lw) {
            int code = 0;
            std::uint32_t offset = ow == 1 ? 0 : std::uint32_t{1} << (8 * (ow - 1));
            cost[ow][lw] = arpkCopyCode(escape, offset, lw == 1 ? 0 : 0x100, code);
        }
}

class Parser {
public:
    Parser(const unsigned char* data, std::size_t start, std::size_t end, int escape, int depth,
           ArpkMatchFinder& finder, const std::function<void(const ArpkStep&)>& emit)
        : d_(data),
          start_(start),
          n_(end),
          e_(escape),
          depth_(depth),
          finder_(finder),
          emit_(emit) {
        copyCosts(e_, copyCost_);
        std::size_t cap = std::min(SEGMENT, n_ - start_) + 1;
        price_.resize(cap);
        step_.resize(cap);
    }

    void run() {
        std::size_t s = start_;
        while (s < n_) s = segment(s);
    }

private:
    std::uint32_t copyCost(std::uint32_t src, std::uint32_t length) const {
        int c = copyCost_[widthOf(src)][length < 0x100 ? 1 : 2];
        return c == 0 ? INF : static_cast<std::uint32_t>(c);
    }
    std::uint32_t copyPrice(std::size_t at, std::uint32_t src, std::uint32_t length) const {
        std::uint32_t c = copyCost(src, length);
        if (c == INF) return INF;
        return c * UNIT + COPY_PENALTY + (at - src > NEAR ? FAR_PENALTY : 0);
    }
    void relax(std::size_t from, std::size_t to, std::uint32_t cost, const ArpkStep& st) {
        std::uint32_t p = price_[from] + cost;
        if (p < price_[to]) {
            price_[to] = p;
            step_[to] = st;
        }
    }
    std::size_t segment(std::size_t s);
    void flush(std::size_t s, std::size_t end);

    const unsigned char* d_;
    std::size_t start_, n_;
    int e_;
    int depth_;
    ArpkMatchFinder& finder_;
    const std::function<void(const ArpkStep&)>& emit_;
    int copyCost_[5][3] = {};
    std::vector<std::uint32_t> price_;  // cheapest size of the segment's first i bytes
    std::vector<ArpkStep> step_;        // the last step of that cheapest way
    std::vector<ArpkStep> back_;
    std::size_t runEnd_ = 0;
};

// Decides positions s to the returned end; steps are emitted when the segment is complete.
std::size_t Parser::segment(std::size_t s) {
    const std::size_t e = std::min(n_, s + SEGMENT);
    std::fill(price_.begin(), price_.begin() + static_cast<std::ptrdiff_t>(e - s + 1), INF);
    price_[0] = 0;
    ArpkMatch m[ArpkMatchFinder::MAX_MATCHES];
    for (std::size_t i = s; i < e; ++i) {
        const std::size_t at = i - s;
        relax(at, at + 1, (d_[i] == e_ ? 2 : 1) * UNIT, ArpkStep{ArpkStep::LITERAL, 1, 0});
        // Runs: the longest one from here (the parse reaches shorter ends through literals).
        if (i >= runEnd_ || d_[i] != d_[runEnd_ - 1]) {
            runEnd_ = i + 1;
            while (runEnd_ < n_ && d_[runEnd_] == d_[i]) ++runEnd_;
        }
        std::size_t run = std::min<std::size_t>({runEnd_ - i, ARPK_MAX_RUN, e - i});
        if (run >= static_cast<std::size_t>(ARPK_MIN_RUN) && !arpkRunCodable(e_, run)) --run;
        if (run >= static_cast<std::size_t>(ARPK_MIN_RUN))
            relax(at, at + run, 3 * UNIT,
                  ArpkStep{ArpkStep::RUN, static_cast<std::uint32_t>(run), 0});

        int count = finder_.find(i, m);
        if (count == 0) continue;
        // The earliest sources (the shortest offsets) first.
        for (int a = 1; a < count; ++a)
            for (int b = a; b > 0 && (m[b].src < m[b - 1].src ||
                                      (m[b].src == m[b - 1].src && m[b].length > m[b - 1].length));
                 --b)
                std::swap(m[b], m[b - 1]);
        const ArpkMatch* longest = std::max_element(
            m, m + count,
            [](const ArpkMatch& a, const ArpkMatch& b) { return a.length < b.length; });
        if (longest->length >= TAKE_AT_ONCE && copyCost(longest->src, longest->length) != INF) {
            ArpkStep st{ArpkStep::COPY, longest->length, longest->src};
            flush(s, i);
            emit_(st);
            for (std::size_t j = i + 1; j < i + st.length; ++j) finder_.skip(j);
            return i + st.length;
        }
        // A source with a longer offset only serves the lengths beyond those of a shorter one.
        std::uint32_t covered = 0;
        for (int c = 0; c < count; ++c) {
            std::uint32_t from = std::max<std::uint32_t>(MIN_COPY, covered + 1);
            std::uint32_t to = std::min<std::uint32_t>(m[c].length, e - i);
            for (std::uint32_t len = from; len <= to; ++len) {
                std::uint32_t price = copyPrice(i, m[c].src, len);
                if (price != INF)
                    relax(at, at + len, price, ArpkStep{ArpkStep::COPY, len, m[c].src});
            }
            covered = std::max(covered, m[c].length);
        }
    }
    flush(s, e);
    return e;
}

// Emits the cheapest steps from s to end, found backwards from end.
void Parser::flush(std::size_t s, std::size_t end) {
    back_.clear();
    for (std::size_t at = end - s; at > 0; at -= step_[at].length) back_.push_back(step_[at]);
    for (auto it = back_.rbegin(); it != back_.rend(); ++it) emit_(*it);
}

// The quick parse: at each position the copy that saves most, unless one of the next
// positions offers more (a lazy step), or a run.
class QuickParser {
public:
    QuickParser(const unsigned char* data, std::size_t start, std::size_t end, int escape,
                ArpkQuickFinder& finder, const std::function<void(const ArpkStep&)>& emit)
        : d_(data), start_(start), n_(end), e_(escape), finder_(finder), emit_(emit) {
        copyCosts(e_, copyCost_);
    }

    void run() {
        std::size_t i = start_, misses = 0;
        while (i < n_) {
            // Deep in bytes that copy nothing (packed or random data) only every fourth
            // position is searched, later every eighth or sixteenth; the finder still takes
            // all in, so a repeat of such bytes is still found a few bytes in.
            const std::size_t stride = misses < SKIP_AFTER        ? 1
                                       : misses < 4 * SKIP_AFTER  ? 4
                                       : misses < 16 * SKIP_AFTER ? 8
                                                                  : 16;
            if ((i & (stride - 1)) != 0) {
                literal();
                ++i;
                continue;
            }
            finder_.prefetch(i + 1);
            ArpkStep best;
            int saved = bestCopy(i, best);
            if (std::size_t run = runAt(i);
                run > 0 && static_cast<int>((run - 3) * UNIT) >= saved) {
                emit(ArpkStep{ArpkStep::RUN, static_cast<std::uint32_t>(run), 0});
                i += run;
                misses = 0;
                continue;
            }
            if (saved <= 0) {
                literal();
                ++i;
                ++misses;
                continue;
            }
            misses = 0;
            for (int step = 0; step < LAZY_STEPS && i + 1 < n_; ++step) {
                // A run from the next position is looked for after any copy (a copy into
                // a run would leave most of it to a token of its own); another copy only
                // after a short one.
                const std::size_t run = runAt(i + 1);
                const int runSaved = run > 0 ? static_cast<int>((run - 3) * UNIT) : 0;
                if (best.length >= LAZY_BELOW && runSaved <= saved) break;
                ArpkStep next;
                int more = 0;
                if (best.length < LAZY_BELOW) {
                    finder_.prefetch(i + 2);
                    more = bestCopy(i + 1, next);
                }
                if (std::max(more, runSaved) <= saved) break;
                literal();
                ++i;
                // A run from the next position: the loop's start takes it.
                if (runSaved >= more) {
                    best.length = 0;
                    break;
                }
                best = next;
                saved = more;
            }
            if (best.length == 0) continue;
            emit(best);
            finder_.pass(i, i + best.length);
            i += best.length;
        }
        emit(ArpkStep{ArpkStep::LITERAL, 0, 0});
    }

private:
    // Literals in a row go out as one step, of at most a progress unit's length.
    void literal() {
        if (++literals_ == LITERALS_AT_ONCE) emit(ArpkStep{ArpkStep::LITERAL, 0, 0});
    }
    // The literals before a step go out first (a step of length 0 only sends them).
    void emit(const ArpkStep& st) {
        if (literals_ > 0) emit_(ArpkStep{ArpkStep::LITERAL, literals_, 0});
        literals_ = 0;
        if (st.length > 0) emit_(st);
    }

    // The copy from i that saves most against literals, in sixteenths of a byte with the
    // reader's penalty for a token (the nearest of equals); 0 when none saves any. The
    // penalty for far sources is left out: most of this parse's cheap sources are far, and
    // with it its packages grew past the closest parse's by twice as much.
    int bestCopy(std::size_t i, ArpkStep& best) {
        ArpkMatch m[ArpkQuickFinder::MAX_MATCHES];
        int count = finder_.find(i, m), saved = 0;
        for (int c = 0; c < count; ++c) {
            std::uint32_t length = std::min<std::uint32_t>(m[c].length, n_ - i);
            int cost = copyCost_[widthOf(m[c].src)][length < 0x100 ? 1 : 2];
            if (cost == 0) continue;
            int s = static_cast<int>(length * UNIT) - static_cast<int>(cost * UNIT + COPY_PENALTY);
            if (s > saved) {
                saved = s;
                best = ArpkStep{ArpkStep::COPY, length, m[c].src};
            }
        }
        return saved;
    }

    // The repeats of d_[i] from i, as long as one run step can code them (0 when too few).
    std::size_t runAt(std::size_t i) const {
        if (i + 1 >= n_ || d_[i + 1] != d_[i]) return 0;
        std::size_t end = std::min<std::size_t>(n_, i + ARPK_MAX_RUN), j = i + 1;
        while (j < end && d_[j] == d_[i]) ++j;
        std::size_t run = j - i;
        if (run >= static_cast<std::size_t>(ARPK_MIN_RUN) && !arpkRunCodable(e_, run)) --run;
        return run >= static_cast<std::size_t>(ARPK_MIN_RUN) ? run : 0;
    }

    const unsigned char* d_;
    std::size_t start_, n_;
    int e_;
    ArpkQuickFinder& finder_;
    const std::function<void(const ArpkStep&)>& emit_;
    int copyCost_[5][3] = {};
    std::uint32_t literals_ = 0;  // not emitted yet
};

}  // namespace

int arpkCopyCode(int escape, std::uint32_t offset, std::uint32_t length, int& code) {
    for (int lw = widthOf(length) > 1 ? 2 : 1; lw <= 2; ++lw)
        for (int ow = widthOf(offset); ow <= 4; ++ow) {
            int base = (lw - 1) * 5;
            for (int cand : {base + ow, ow == 1 ? base : -1}) {
                if (cand < 0 || cand == escape || arpkOffsetBytes(cand) != ow) continue;
                code = cand;
                return 2 + ow + lw;
            }
        }
    return 0;
}

bool arpkRunCodable(int escape, std::uint32_t length) {
    return length >= static_cast<std::uint32_t>(ARPK_MIN_RUN) &&
           length <= static_cast<std::uint32_t>(ARPK_MAX_RUN) &&
           static_cast<int>(length) + ARPK_RUN_BIAS != escape;
}

void parseArpk(const unsigned char* data, std::size_t size, int escape, int depth,
               const std::function<void(const ArpkStep&)>& emit) {
    if (size == 0) return;
    if (depth <= 0) {
        ArpkQuickFinder finder(data, size, 0, 0, nullptr);
        QuickParser(data, 0, size, escape, finder, emit).run();
        return;
    }
    ArpkMatchFinder finder(data, size, depth);
    Parser(data, 0, size, escape, depth, finder, emit).run();
}

void parseArpkBlock(const unsigned char* data, std::size_t start, std::size_t end, int escape,
                    int depth, ArpkMatchFinder& finder,
                    const std::function<void(const ArpkStep&)>& emit) {
    if (start < end) Parser(data, start, end, escape, depth, finder, emit).run();
}

void parseArpkQuickBlock(const unsigned char* data, std::size_t start, std::size_t end, int escape,
                         ArpkQuickFinder& finder,
                         const std::function<void(const ArpkStep&)>& emit) {
    if (start < end) QuickParser(data, start, end, escape, finder, emit).run();
}
