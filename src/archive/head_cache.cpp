#include "archive/head_cache.h"

#include <algorithm>

void HeadCache::append(std::int64_t pos, const unsigned char* p, std::size_t n) {
    if (frozen_ || pos != static_cast<std::int64_t>(size_)) return;
    n = std::min(n, limit_ - size_);
    if (n == 0) return;
    if (!block_) {
        block_ = platform::LargeBlock(limit_ + PAD);
        if (!block_) {
            frozen_ = true;
            return;
        }
    }
    std::memcpy(block_.get() + size_, p, n);
    size_ += n;
}
