#include "app/single_instance.h"

// windows.h first: the other system headers need its types.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "run/startup.h"
#include "platform/win32/handle_win.h"

namespace {

using platform::win32::KernelHandle;

// A function of a system DLL by name; through void (*)() as GetProcAddress's type says nothing.
template <class Function>
Function procAddress(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                  : nullptr;
}

// The Windows 95 family: process snapshot functions looked up at run time (NT 4 has none).
bool onlyInstanceBySnapshot() {
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    using Snapshot = HANDLE(WINAPI*)(DWORD, DWORD);
    using Walk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
    auto snapshot = procAddress<Snapshot>(kernel, "CreateToolhelp32Snapshot");
    auto first = procAddress<Walk>(kernel, "Process32First");
    auto next = procAddress<Walk>(kernel, "Process32Next");
    if (!snapshot || !first || !next) return false;
    KernelHandle snap(snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap || snap.get() == INVALID_HANDLE_VALUE) {
        snap.release();
        return false;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!first(snap.get(), &entry)) return false;
    const DWORD self = ::GetCurrentProcessId();
    std::string own = "unknown";
    do {
        if (entry.th32ProcessID == self) own = entry.szExeFile;
    } while (next(snap.get(), &entry));
    entry.dwSize = sizeof entry;
    if (!first(snap.get(), &entry)) return false;
    do {
        if (entry.th32ProcessID != self && own == entry.szExeFile) return false;
    } while (next(snap.get(), &entry));
    return true;
}

// The process-status library, loaded on first use: Windows XP has its functions only there
// (Windows 7 moved them into KERNEL32 under other names). It stays loaded, as a system DLL.
bool onlyInstanceByPsapi() {
    static HMODULE psapi = ::LoadLibraryA("PSAPI.DLL");
    using EnumIds = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using EnumModules = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, DWORD*);
    using BaseName = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
    auto enumProcesses = procAddress<EnumIds>(psapi, "EnumProcesses");
    auto enumModules = procAddress<EnumModules>(psapi, "EnumProcessModules");
    auto baseName = procAddress<BaseName>(psapi, "GetModuleBaseNameA");
    if (!enumProcesses || !enumModules || !baseName) return false;

    char own[MAX_PATH] = "unknown";
    if (!baseName(::GetCurrentProcess(), nullptr, own, sizeof own)) std::strcpy(own, "unknown");
    DWORD ids[1024];
    DWORD bytes = 0;
    if (!enumProcesses(ids, sizeof ids, &bytes)) return false;
    const DWORD self = ::GetCurrentProcessId();
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        KernelHandle process(
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]));
        if (!process) continue;
        HMODULE module;
        DWORD needed;
        if (!enumModules(process.get(), &module, sizeof module, &needed)) continue;
        char name[MAX_PATH] = "";
        baseName(process.get(), module, name, sizeof name);
        if (std::strcmp(name, own) == 0 && ids[i] != self) return false;
    }
    return true;
}

}  // namespace

bool isOnlyInstance() {
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    OSVERSIONINFOA plain{};
    plain.dwOSVersionInfoSize = sizeof plain;
    const OSVERSIONINFOA* version = nullptr;
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex)))
        version = reinterpret_cast<const OSVERSIONINFOA*>(&ex);
    else if (::GetVersionExA(&plain))
        version = &plain;
    if (!version) return false;
    const WindowsFamily family =
        version->dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? WindowsFamily::Windows95
        : version->dwPlatformId == VER_PLATFORM_WIN32_NT    ? WindowsFamily::NT
                                                            : WindowsFamily::Unknown;
    switch (chooseInstanceTest(family, version->dwMajorVersion, version->szCSDVersion)) {
        case InstanceTest::Passes: return true;
        case InstanceTest::ByProcessSnapshot: return onlyInstanceBySnapshot();
        case InstanceTest::ByProcessStatus: return onlyInstanceByPsapi();
        case InstanceTest::Fails: break;
    }
    return false;
}
