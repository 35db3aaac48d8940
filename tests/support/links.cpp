#include "support/links.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <system_error>

namespace testing_support {

#ifdef _WIN32
namespace {

using UnixName = char*(CDECL*)(LPCWSTR);

UnixName wineUnixName() {
    return reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

std::string unixPath(UnixName unixName, const std::filesystem::path& p) {
    char* name = unixName(p.wstring().c_str());
    if (!name) return "";
    std::string s(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return s;
}

// Runs ln -s through the Unix shell, which then leaves a marker: Wine's handle of a Unix
// process may signal before the program has run.
bool unixLink(UnixName unixName, const std::filesystem::path& target,
              const std::filesystem::path& link) {
    std::string t = unixPath(unixName, target), l = unixPath(unixName, link);
    if (t.empty() || l.empty()) return false;
    std::string command =
        "Z:\\bin\\sh -c \"ln -s '" + t + "' '" + l + "' && touch '" + l + ".made'\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    std::string marker = link.string() + ".made";
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 30000; ::Sleep(20)) {
        if (::GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ::DeleteFileA(marker.c_str()) != 0;
    }
    return false;
}

}  // namespace

bool isFolderLink(const std::filesystem::path& p) {
    DWORD attributes = ::GetFileAttributesW(p.wstring().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link,
                 bool folder) {
    if (UnixName unixName = wineUnixName()) return unixLink(unixName, target, link);
    DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                  0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE, in developer mode
    return ::CreateSymbolicLinkA(link.string().c_str(), target.string().c_str(), flags) != 0;
}

#else

bool isFolderLink(const std::filesystem::path& p) {
    return std::filesystem::is_symlink(std::filesystem::symlink_status(p));
}

bool makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link,
                 bool folder) {
    std::error_code ec;
    if (folder)
        std::filesystem::create_directory_symlink(target, link, ec);
    else
        std::filesystem::create_symlink(target, link, ec);
    return !ec;
}

#endif

}  // namespace testing_support
