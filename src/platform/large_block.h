#pragma once
// Memory for large buffers that are filled once and read at random (the decoder's ring, the
// head cache's chunks, the encoder's tables). Where the system offers large pages for them
// (Linux's transparent huge pages) the block asks for them: under some virtual machines each
// 4 KiB page touched for the first time costs tens of microseconds, some 3,000 of them an
// extraction. Pages are still only taken as they are touched.
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>

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

// n plain values in a large block, every byte of them `fill`; std::bad_alloc when the memory
// cannot be had, as a vector would.
template <typename T>
class LargeArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    LargeArray() = default;
    void assign(std::size_t n, unsigned char fill = 0) {
        block_ = LargeBlock();
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        block_ = LargeBlock(n * sizeof(T));
        if (n != 0 && !block_) throw std::bad_alloc();
        if (fill != 0) std::memset(block_.get(), fill, n * sizeof(T));
        size_ = n;
    }
    T& operator[](std::size_t i) { return data()[i]; }
    const T& operator[](std::size_t i) const { return data()[i]; }
    T* data() const { return reinterpret_cast<T*>(block_.get()); }
    std::size_t size() const { return size_; }

private:
    LargeBlock block_;
    std::size_t size_ = 0;
};

}  // namespace platform
