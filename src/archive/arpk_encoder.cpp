// A greedy LZ encoder. Offsets are absolute, so a copy from early output is cheap (one byte
// of offset below 256); the match finder therefore keeps the first occurrence of each
// 4-byte string besides a chain of recent ones, and weighs each candidate by its real cost.
#include "archive/arpk_encoder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archive/arpk_format.h"
#include "archive/byte_reader.h"

namespace {

constexpr int HASH_BITS = 20;
constexpr std::size_t WINDOW = 1u << 20;  // recent positions kept on the chains
constexpr std::size_t MIN_MATCH = 4;
// Copies from beyond the decoder's cached head cost two seeks; keep them for long matches.
constexpr std::size_t FAR_MIN_MATCH = 32;

std::uint32_t hash4(const unsigned char* p, int bits) {
    std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                      static_cast<std::uint32_t>(p[2]) << 16 |
                      static_cast<std::uint32_t>(p[3]) << 24;
    return (v * 2654435761u) >> (32 - bits);
}

// Small inputs get small tables: filling 12 MB for a few kilobytes costs more than the
// encoding itself.
int hashBitsFor(std::size_t size) {
    int bits = 10;
    while (bits < HASH_BITS && (std::size_t{1} << bits) < size) ++bits;
    return bits;
}

int widthOf(std::uint32_t v) {
    return v < 0x100 ? 1 : v < 0x10000 ? 2 : v < 0x1000000 ? 3 : 4;
}

class Encoder {
public:
    Encoder(const unsigned char* data, std::size_t size, int escape, int depth)
        : d_(data),
          n_(size),
          e_(escape),
          depth_(depth),
          hashBits_(hashBitsFor(size)),
          first_(std::size_t{1} << hashBits_, -1),
          last_(std::size_t{1} << hashBits_, -1),
          prev_(std::max<std::size_t>(1, std::min(WINDOW, size)), -1) {}

    std::string encode();

private:
    // The copy code for the narrowest widths that hold offset and length and differ from E.
    bool copyCode(std::uint32_t offset, std::uint32_t length, int& k, int& cost) const {
        for (int lw = widthOf(length) > 1 ? 2 : 1; lw <= 2; ++lw)
            for (int ow = widthOf(offset); ow <= 4; ++ow) {
                int base = (lw - 1) * 5;
                for (int cand : {base + ow, ow == 1 ? base : -1}) {
                    if (cand < 0 || cand == e_ || arpkOffsetBytes(cand) != ow) continue;
                    k = cand;
                    cost = 2 + ow + lw;
                    return true;
                }
            }
        return false;
    }
    std::size_t matchLength(std::size_t src, std::size_t at) const {
        std::size_t limit = std::min<std::size_t>({n_ - at, at - src, ARPK_MAX_COPY});
        std::size_t l = 0;
        while (l < limit && d_[src + l] == d_[at + l]) ++l;
        return l;
    }
    long literalCost(std::size_t at, std::size_t length) const {
        long c = static_cast<long>(length);
        for (std::size_t i = at; i < at + length; ++i) c += d_[i] == e_;
        return c;
    }
    void consider(std::size_t src, std::size_t at, std::size_t& bestLen, std::size_t& bestSrc,
                  long& bestGain) const;
    void insert(std::size_t at);
    void findMatch(std::size_t at, std::size_t& bestLen, std::size_t& bestSrc,
                   long& bestGain) const {
        if (at + MIN_MATCH > n_) return;
        std::uint32_t h = hash4(d_ + at, hashBits_);
        if (first_[h] >= 0) consider(first_[h], at, bestLen, bestSrc, bestGain);
        std::int32_t cand = last_[h];
        for (int d = 0; d < depth_ && cand >= 0 && at - cand < WINDOW; ++d) {
            consider(cand, at, bestLen, bestSrc, bestGain);
            cand = prev_[static_cast<std::size_t>(cand) % prev_.size()];
        }
    }
    void literal(unsigned char c) {
        out_.push_back(static_cast<char>(c));
        if (c == e_) out_.push_back(static_cast<char>(c));
    }
    std::size_t emitRun(unsigned char b, std::size_t count);
    void emitCopy(std::size_t src, std::size_t length);

    const unsigned char* d_;
    std::size_t n_;
    int e_, depth_;
    int hashBits_;
    std::vector<std::int32_t> first_, last_, prev_;
    std::string out_;
};

void Encoder::insert(std::size_t at) {
    if (at + MIN_MATCH > n_) return;
    std::uint32_t h = hash4(d_ + at, hashBits_);
    if (first_[h] < 0) first_[h] = static_cast<std::int32_t>(at);
    prev_[at % prev_.size()] = last_[h];
    last_[h] = static_cast<std::int32_t>(at);
}

void Encoder::consider(std::size_t src, std::size_t at, std::size_t& bestLen, std::size_t& bestSrc,
                       long& bestGain) const {
    std::size_t l = matchLength(src, at);
    if (l < MIN_MATCH) return;
    if (src + l > ARPK_HEAD_CACHE && l < FAR_MIN_MATCH) return;
    int k = 0, cost = 0;
    if (!copyCode(static_cast<std::uint32_t>(src), static_cast<std::uint32_t>(l), k, cost)) return;
    long gain = literalCost(at, l) - cost;
    if (gain > bestGain) {
        bestGain = gain;
        bestLen = l;
        bestSrc = src;
    }
}

std::size_t Encoder::emitRun(unsigned char b, std::size_t count) {
    std::size_t n = std::min<std::size_t>(count, ARPK_MAX_RUN);
    if (static_cast<int>(n) + ARPK_RUN_BIAS == e_) {
        // The code would read as the escape itself; one byte less, or literals.
        if (n == static_cast<std::size_t>(ARPK_MIN_RUN)) return 0;
        --n;
    }
    out_.push_back(static_cast<char>(e_));
    out_.push_back(static_cast<char>(n + ARPK_RUN_BIAS));
    out_.push_back(static_cast<char>(b));
    return n;
}

void Encoder::emitCopy(std::size_t src, std::size_t length) {
    int k = 0, cost = 0;
    copyCode(static_cast<std::uint32_t>(src), static_cast<std::uint32_t>(length), k, cost);
    out_.push_back(static_cast<char>(e_));
    out_.push_back(static_cast<char>(k));
    for (int i = 0; i < arpkOffsetBytes(k); ++i) out_.push_back(static_cast<char>(src >> (8 * i)));
    for (int i = 0; i < arpkLengthBytes(k); ++i)
        out_.push_back(static_cast<char>(length >> (8 * i)));
}

std::string Encoder::encode() {
    out_ = std::string(ARPK_MAGIC, 4);
    appendLE32(out_, static_cast<std::uint32_t>(n_));
    out_.push_back(static_cast<char>(e_));
    out_.reserve(n_ / 2 + 64);
    std::size_t i = 0;
    while (i < n_) {
        std::size_t run = 1;
        while (i + run < n_ && d_[i + run] == d_[i] && run < ARPK_MAX_COPY) ++run;
        std::size_t bestLen = 0, bestSrc = 0;
        long bestGain = 0;
        findMatch(i, bestLen, bestSrc, bestGain);
        if (bestLen > 0 && i + 1 < n_) {
            // One step of lazy matching: a better match one byte on is worth a literal.
            std::size_t nextLen = 0, nextSrc = 0;
            long nextGain = 0;
            findMatch(i + 1, nextLen, nextSrc, nextGain);
            if (nextGain > bestGain + 1) bestLen = 0, bestGain = 0;
        }
        long runGain = -1;
        if (run >= static_cast<std::size_t>(ARPK_MIN_RUN)) {
            std::size_t tokens = (run + ARPK_MAX_RUN - 1) / ARPK_MAX_RUN;
            runGain = literalCost(i, run) - 3 * static_cast<long>(tokens);
        }
        std::size_t advance = 0;
        if (runGain > 0 && runGain >= bestGain && (advance = emitRun(d_[i], run)) > 0) {
        } else if (bestLen > 0) {
            emitCopy(bestSrc, bestLen);
            advance = bestLen;
        } else {
            literal(d_[i]);
            advance = 1;
        }
        for (std::size_t j = 0; j < advance; ++j) insert(i + j);
        i += advance;
    }
    return out_;
}

}  // namespace

int leastFrequentByte(const unsigned char* data, std::size_t size) {
    std::vector<std::size_t> count(256, 0);
    for (std::size_t i = 0; i < size; ++i) ++count[data[i]];
    return static_cast<int>(std::min_element(count.begin(), count.end()) - count.begin());
}

std::string encodeArpk(const unsigned char* data, std::size_t size,
                       const ArpkEncoderOptions& options) {
    int escape = options.escape >= 0 ? options.escape & 0xFF : leastFrequentByte(data, size);
    return Encoder(data, size, escape, options.chainDepth).encode();
}
