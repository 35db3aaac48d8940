// The two "Out of memory" rows: allocations above a size fail while a test asks for it.
// The sanitizers bring their own allocator, so there these tests are skipped.
#include <atomic>
#include <cstdlib>
#include <new>

#include "parser_test_util.h"

#if defined(__SANITIZE_ADDRESS__)
#define SETUP_OWN_ALLOCATOR 0
#else
#define SETUP_OWN_ALLOCATOR 1
#endif

namespace {
std::atomic<std::size_t> failAtOrAbove{static_cast<std::size_t>(-1)};

struct FailLargeAllocations {
    explicit FailLargeAllocations(std::size_t bytes) { failAtOrAbove = bytes; }
    ~FailLargeAllocations() { failAtOrAbove = static_cast<std::size_t>(-1); }
};
}  // namespace

#if SETUP_OWN_ALLOCATOR
// The replacements pair malloc with free themselves; GCC cannot see that through inlining.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t n) {
    if (n >= failAtOrAbove) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
#endif

namespace {

TEST(ParserMemory, BlockOfMenusCannotBeAllocated) {
    if (!SETUP_OWN_ALLOCATOR) GTEST_SKIP() << "sanitizer allocator";
    ParserHarness h;
    std::string path = h.write("PALM.mnu", lines({"PALM", "999", "A", "V", "U"}));
    int r;
    {
        FailLargeAllocations fail(999 * sizeof(Menu));
        r = parseMenuScript(path, h.file, false, false, h.env);
    }
    EXPECT_EQ(r, -34);
    EXPECT_EQ(h.lastMessage(), "Out of memory");
    EXPECT_EQ(h.file, nullptr);
}

TEST(ParserMemory, AnyFailedAllocationIsOutOfMemory) {
    if (!SETUP_OWN_ALLOCATOR) GTEST_SKIP() << "sanitizer allocator";
    ParserHarness h;
    std::string path = h.write("PALM.mnu", lines({"PALM", "1", "A", "V", "U", "MENU 0 1"}));
    int r;
    {
        FailLargeAllocations fail(16 * 1024);  // the read buffer and the text pool
        r = parseMenuScript(path, h.file, false, false, h.env);
    }
    EXPECT_EQ(r, -99);
    EXPECT_EQ(h.lastMessage(), "Out of memory");
}

TEST(ParserMemory, OptionArraysCannotBeAllocated) {
    if (!SETUP_OWN_ALLOCATOR) GTEST_SKIP() << "sanitizer allocator";
    ParserHarness h;
    std::string path = h.write("PALM.mnu", lines({"PALM", "1", "A", "V", "U", "MENU 0 9998"}));
    int r;
    {
        FailLargeAllocations fail(9998 * sizeof(MenuOption));
        r = parseMenuScript(path, h.file, false, false, h.env);
    }
    EXPECT_EQ(r, -99);
    EXPECT_EQ(h.lastMessage(), "Out of memory");
    ASSERT_NE(h.file, nullptr);  // the block exists and is the caller's to free
    EXPECT_EQ((*h.file)[0].options, nullptr);
}

}  // namespace
