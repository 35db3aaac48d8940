#include "archive/head_cache.h"

#include <algorithm>
#include <cstring>
#include <new>

void HeadCache::append(std::int64_t pos, const unsigned char* p, std::size_t n) {
    if (frozen_ || pos != static_cast<std::int64_t>(size_)) return;
    n = std::min(n, limit_ - size_);
    while (n > 0) {
        std::size_t index = size_ / chunk_, within = size_ % chunk_;
        if (index == chunks_.size()) {
            platform::LargeBlock c(chunk_ + PAD);
            if (!c) {
                frozen_ = true;
                return;
            }
            chunks_.push_back(std::move(c));
        }
        std::size_t m = std::min(n, chunk_ - within);
        std::memcpy(chunks_[index].get() + within, p, m);
        size_ += m;
        p += m;
        n -= m;
    }
}

bool HeadCache::copySpanning(std::size_t at, std::size_t n, unsigned char* dst) const {
    while (n > 0) {
        std::size_t index = at / chunk_, within = at % chunk_;
        std::size_t m = std::min(n, chunk_ - within);
        std::memcpy(dst, chunks_[index].get() + within, m);
        dst += m;
        at += m;
        n -= m;
    }
    return true;
}
