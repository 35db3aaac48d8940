#include "app/single_instance.h"

// windows.h first: the other system headers need its types.
#include <windows.h>

#include <psapi.h>
#include <strings.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "platform/win32/handle_win.h"

namespace {

using platform::win32::KernelHandle;

// A function of a system DLL by name; through void (*)() as GetProcAddress's type says nothing.
template <class Function>
Function procAddress(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// The Windows 95 family: process snapshot functions looked up at run time.
bool onlyInstanceBySnapshot() {
    HMODULE kernel = ::GetModuleHandleA("KERNEL32.DLL");
    if (!kernel) return false;
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

// NT 4 with service pack 6 and every later version: the process-status library.
bool onlyInstanceByPsapi() {
    char own[MAX_PATH] = "unknown";
    if (!::GetModuleBaseNameA(::GetCurrentProcess(), nullptr, own, sizeof own))
        std::strcpy(own, "unknown");
    DWORD ids[1024];
    DWORD bytes = 0;
    if (!::EnumProcesses(ids, sizeof ids, &bytes)) return false;
    const DWORD self = ::GetCurrentProcessId();
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        KernelHandle process(
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]));
        if (!process) continue;
        HMODULE module;
        DWORD needed;
        if (!::EnumProcessModules(process.get(), &module, sizeof module, &needed)) continue;
        char name[MAX_PATH] = "";
        ::GetModuleBaseNameA(process.get(), module, name, sizeof name);
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
    DWORD platformId, major;
    const char* servicePack;
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex))) {
        platformId = ex.dwPlatformId;
        major = ex.dwMajorVersion;
        servicePack = ex.szCSDVersion;
    } else if (::GetVersionExA(&plain)) {
        platformId = plain.dwPlatformId;
        major = plain.dwMajorVersion;
        servicePack = plain.szCSDVersion;
    } else {
        return false;
    }
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) return onlyInstanceBySnapshot();
    if (platformId != VER_PLATFORM_WIN32_NT) return false;
    if (major < 5 && (servicePack[0] == 0 || ::strcasecmp(servicePack, "Service Pack 6") < 0))
        return true;
    return onlyInstanceByPsapi();
}
