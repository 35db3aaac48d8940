#include <sys/mman.h>

#include <cstdint>

#include "platform/large_block.h"

namespace platform {

namespace {
constexpr std::size_t LARGE_PAGE = std::size_t{2} << 20;
constexpr std::size_t PAGE = 4096;
}  // namespace

LargeBlock::LargeBlock(std::size_t size) {
    if (size == 0) return;
    // Room to start the block on a large page's border: the whole large pages within it are
    // the ones the system can back with large pages.
    const bool large = size >= LARGE_PAGE;
    const std::size_t rounded = (size + PAGE - 1) / PAGE * PAGE;
    const std::size_t mapped = rounded + (large ? LARGE_PAGE : 0);
    if (mapped < size) return;
    void* m = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) return;
    auto base = reinterpret_cast<std::uintptr_t>(m);
    auto start = large ? (base + LARGE_PAGE - 1) / LARGE_PAGE * LARGE_PAGE : base;
    mapping_ = m;
    mappedSize_ = mapped;
    data_ = reinterpret_cast<unsigned char*>(start);
    size_ = size;
#ifdef MADV_HUGEPAGE
    // Only the whole large pages: a tail of a few bytes stays on small pages, so the block
    // takes no more memory than its size.
    if (large) ::madvise(data_, size / LARGE_PAGE * LARGE_PAGE, MADV_HUGEPAGE);
#endif
}

void LargeBlock::release() {
    if (mapping_) ::munmap(mapping_, mappedSize_);
    mapping_ = nullptr;
    mappedSize_ = 0;
    data_ = nullptr;
    size_ = 0;
}

}  // namespace platform
