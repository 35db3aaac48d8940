#pragma once
// Bump allocator for the many small texts of a menu script: one allocation per chunk
// instead of one per text keeps a parsed script close to the size of its texts.
#include <cstddef>
#include <memory>
#include <vector>

class TextPool {
public:
    const char* add(const char* text);
    const char* add(const char* text, std::size_t length);
    std::size_t bytesUsed() const { return used_; }

private:
    static constexpr std::size_t CHUNK_SIZE = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> chunks_;
    std::size_t left_ = 0;
    char* next_ = nullptr;
    std::size_t used_ = 0;
};
