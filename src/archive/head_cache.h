#pragma once
// The first bytes of a growing output, kept in memory up to a limit. The block is reserved
// once; the system takes memory for it only as bytes are appended, so memory grows with what
// was really produced, never with what a header declares.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/large_block.h"

class HeadCache {
public:
    explicit HeadCache(std::size_t limit = 0) : limit_(limit) {}
    // Offers bytes written at position pos; keeps what continues the cache below the limit.
    void append(std::int64_t pos, const unsigned char* p, std::size_t n);
    // True (and dst filled) when [offset, offset + n) lies in the cache.
    bool copy(std::int64_t offset, std::size_t n, unsigned char* dst) const {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + n > size_) return false;
        if (n > 0) std::memcpy(dst, block_.get() + offset, n);
        return true;
    }
    // The cached bytes from offset when n of them (0 < n <= PAD) lie in the cache, null
    // otherwise. PAD bytes can be read from it: the block has them allocated.
    const unsigned char* span(std::int64_t offset, std::size_t n) const {
        if (offset < 0 || n - 1 >= PAD || static_cast<std::uint64_t>(offset) + n > size_)
            return nullptr;
        return block_.get() + offset;
    }
    static constexpr std::size_t PAD = 32;
    std::size_t size() const { return size_; }

private:
    std::size_t limit_, size_ = 0;
    bool frozen_ = false;  // the block could not be had; the file serves instead
    platform::LargeBlock block_;
};
