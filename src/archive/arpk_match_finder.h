#pragma once
// Match candidates for the ArpkLayer encoder. Offsets are absolute, so the finder looks for
// the longest match among the cheapest sources: binary trees over the first 256 bytes, the
// first 64 KiB and the decoder's cached head, and a hash chain for long far matches.
#include <cstddef>
#include <cstdint>
#include <vector>

struct ArpkMatch {
    std::uint32_t src = 0;
    std::uint32_t length = 0;     // the longest usable length from src
    std::uint32_t minLength = 0;  // shorter copies from src are not allowed
};

class ArpkMatchFinder {
public:
    static constexpr int MAX_MATCHES = 8;

    ArpkMatchFinder(const unsigned char* data, std::size_t size, int depth);
    // Must be called for each position in increasing order (or skip() for it).
    int find(std::size_t at, ArpkMatch* out);
    void skip(std::size_t at);

private:
    struct Tree {
        std::size_t bound = 0;  // positions below it are inserted
        int bits = 0;
        std::vector<std::int32_t> head, son;
    };
    void walk(Tree& t, std::size_t at, bool report, std::size_t& bestLen, std::size_t& bestSrc);
    void findFar(std::size_t at, std::size_t& bestLen, std::size_t& bestSrc) const;
    void insertFar(std::size_t at);
    std::size_t clampLength(std::size_t src, std::size_t at, std::size_t length) const;

    const unsigned char* d_;
    std::size_t n_;
    int depth_;
    std::vector<Tree> trees_;
    std::size_t farFrom_;  // positions from here on go on the far chain
    int farBits_ = 0;
    std::vector<std::int32_t> farHead_, farPrev_;
};
