#include <windows.h>

#include "platform/large_block.h"

namespace platform {

// Windows gives large pages only to accounts holding a privilege setups do not have: plain
// committed memory, zero-filled, its pages taken as they are touched.
LargeBlock::LargeBlock(std::size_t size) {
    if (size == 0) return;
    void* m = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!m) return;
    mapping_ = m;
    mappedSize_ = size;
    data_ = static_cast<unsigned char*>(m);
    size_ = size;
}

void LargeBlock::release() {
    if (mapping_) ::VirtualFree(mapping_, 0, MEM_RELEASE);
    mapping_ = nullptr;
    mappedSize_ = 0;
    data_ = nullptr;
    size_ = 0;
}

}  // namespace platform
