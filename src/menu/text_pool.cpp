#include "menu/text_pool.h"

#include <cstring>

const char* TextPool::add(const char* text) {
    return add(text, std::strlen(text));
}

const char* TextPool::add(const char* text, std::size_t length) {
    std::size_t need = length + 1;
    if (need > left_) {
        // Texts larger than a chunk get a chunk of their own.
        std::size_t size = need > CHUNK_SIZE / 4 ? need : CHUNK_SIZE;
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        if (size == need) {
            char* own = chunks_.back().get();
            std::memcpy(own, text, length);
            own[length] = 0;
            used_ += need;
            return own;  // the current chunk keeps being filled
        }
        next_ = chunks_.back().get();
        left_ = size;
    }
    char* out = next_;
    std::memcpy(out, text, length);
    out[length] = 0;
    next_ += need;
    left_ -= need;
    used_ += need;
    return out;
}
