#include "support/wine_cdrom_win.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

namespace testing_support {

namespace {

// The request of Wine's mount manager that defines a drive on a Unix folder.
struct UnixDrive {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPoint, device, label;
};

}  // namespace

WineCdRom::WineCdRom(char letter, const std::string& folder) : letter_(letter) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return;
    std::wstring wide(folder.begin(), folder.end());
    char* path = unixName(wide.c_str());
    if (!path) return;
    ok_ = define(DRIVE_CDROM, path);
    ::HeapFree(::GetProcessHeap(), 0, path);
}

WineCdRom::~WineCdRom() {
    if (ok_) define(DRIVE_NO_ROOT_DIR, nullptr);
}

bool WineCdRom::define(unsigned long type, const char* unixPath) {
    std::vector<char> request(sizeof(UnixDrive) + (unixPath ? std::strlen(unixPath) + 1 : 0));
    UnixDrive drive{};
    drive.size = static_cast<ULONG>(request.size());
    drive.type = type;
    drive.letter = static_cast<WCHAR>(letter_);
    if (unixPath) {
        drive.mountPoint = sizeof(UnixDrive);
        std::memcpy(request.data() + sizeof(UnixDrive), unixPath, std::strlen(unixPath) + 1);
    }
    std::memcpy(request.data(), &drive, sizeof drive);
    HANDLE manager =
        ::CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (manager == INVALID_HANDLE_VALUE) return false;
    const DWORD DEFINE_UNIX_DRIVE =
        CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD bytes = 0;
    BOOL done = ::DeviceIoControl(manager, DEFINE_UNIX_DRIVE, request.data(),
                                  static_cast<DWORD>(request.size()), nullptr, 0, &bytes, nullptr);
    ::CloseHandle(manager);
    return done != 0;
}

}  // namespace testing_support
