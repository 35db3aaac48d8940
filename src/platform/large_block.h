#pragma once
// Memory for large buffers that are filled once and read at random (the decoder's ring, the
// head cache's chunks, the encoder's tables). Where the system offers large pages for them
// (Linux's transparent huge pages) the block asks for them: under some virtual machines each
// 4 KiB page touched for the first time costs tens of microseconds, some 3,000 of them an
// extraction. Pages are still only taken as they are touched.
#include <cstddef>

namespace platform {

class LargeBlock {
public:
    LargeBlock() = default;
    // size bytes, zero-filled; an empty block when the memory cannot be had.
    explicit LargeBlock(std::size_t size);
    ~LargeBlock();
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;

    unsigned char* get() const { return data_; }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    void release();
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    void* mapping_ = nullptr;  // what the system handed out, data_ lying within it
    std::size_t mappedSize_ = 0;
};

}  // namespace platform
