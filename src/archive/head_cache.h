#pragma once
// The first bytes of a growing output, kept in memory in chunks up to a limit, so memory
// grows with what was really produced, never with what a header declares.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/large_block.h"

class HeadCache {
public:
    // chunk must be a power of two: positions split into chunk and place with shifts.
    HeadCache(std::size_t limit, std::size_t chunk) : limit_(limit), chunk_(chunk) {
        while ((std::size_t{1} << shift_) < chunk_) ++shift_;
    }
    // Offers bytes written at position pos; keeps what continues the cache below the limit.
    void append(std::int64_t pos, const unsigned char* p, std::size_t n);
    // True (and dst filled) when [offset, offset + n) lies in the cache.
    bool copy(std::int64_t offset, std::size_t n, unsigned char* dst) const {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + n > size_) return false;
        if (n == 0) return true;  // also when nothing is cached yet
        std::size_t at = static_cast<std::size_t>(offset), within = at & (chunk_ - 1);
        if (within + n <= chunk_) {  // the usual case: one chunk
            std::memcpy(dst, chunks_[at >> shift_].get() + within, n);
            return true;
        }
        return copySpanning(at, n, dst);
    }
    // The cached bytes from offset when n of them (n <= PAD) lie in the cache within one
    // chunk, null otherwise. PAD bytes can be read from it: each chunk has them allocated.
    const unsigned char* span(std::int64_t offset, std::size_t n) const {
        if (offset < 0 || n == 0 || n > PAD || static_cast<std::uint64_t>(offset) + n > size_)
            return nullptr;
        std::size_t at = static_cast<std::size_t>(offset), within = at & (chunk_ - 1);
        return within + n <= chunk_ ? chunks_[at >> shift_].get() + within : nullptr;
    }
    static constexpr std::size_t PAD = 32;
    std::size_t size() const { return size_; }

private:
    bool copySpanning(std::size_t at, std::size_t n, unsigned char* dst) const;
    std::size_t limit_, chunk_, size_ = 0;
    unsigned shift_ = 0;
    bool frozen_ = false;  // an allocation failed; the file serves from here on
    std::vector<platform::LargeBlock> chunks_;
};
