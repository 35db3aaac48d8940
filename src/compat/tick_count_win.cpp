// The MinGW thread library binds GetTickCount64 for its timed waits, and Windows XP has no
// such function: a program importing it does not start there. This import slot, linked into
// the programs that go on a disc, takes the place of kernel32's: it calls the real function
// where Windows has it and otherwise widens XP's 32-bit count across its wrap (49.7 days).
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace {

using TickCount64 = ULONGLONG(WINAPI*)();

// Upper half: how often the count wrapped; lower half: the count last seen.
std::atomic<std::uint64_t> widened{0};

ULONGLONG WINAPI widenedTickCount() {
    std::uint64_t seen = widened.load();
    for (;;) {
        const std::uint32_t now = ::GetTickCount();
        const std::uint32_t last = static_cast<std::uint32_t>(seen);
        // A count read before another thread's newer one is no wrap: the time never goes back.
        if (now - last >= 0x80000000u) return seen;
        const std::uint64_t next = ((seen >> 32) + (now < last ? 1 : 0)) << 32 | now;
        if (widened.compare_exchange_weak(seen, next)) return next;
    }
}

ULONGLONG WINAPI tickCount64() {
    static const TickCount64 system = reinterpret_cast<TickCount64>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("KERNEL32.DLL"), "GetTickCount64")));
    return system ? system() : widenedTickCount();
}

}  // namespace

#if defined(__i386__)
// The name the linker looks for: "__imp_" before the decorated stdcall name.
extern "C" {
TickCount64 importedTickCount64 __asm__("__imp__GetTickCount64@0") = &tickCount64;
}
#endif
