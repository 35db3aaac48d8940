// Stand-in for the desktop installers and document handlers of other vendors. It appends to
// a log what it was given (command line, folder, and name, size and CRC-32 of every argument
// that names a file), then optionally waits, and exits.
//   STANDIN_LOG   log file (default: standin.log beside the program)
//   STANDIN_HOLD  wait until this file exists (at most two minutes) before exiting
//   STANDIN_WAIT_MS  wait this long before exiting
//   STANDIN_EXIT  exit code (default 0)
// The record also names the Windows version the program was told.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "../crc32.h"

namespace {

std::string env(const char* name) {
    char buf[1024];
    DWORD n = ::GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

using testing_support::crc32;

bool readWhole(const std::string& path, std::string& out) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[4096];
    std::size_t n;
    out.clear();
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return true;
}

std::string moduleName(std::string& folder) {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, n);
    std::size_t slash = full.find_last_of('\\');
    folder = full.substr(0, slash);
    return full.substr(slash + 1);
}

// One write, so that a reader never sees half a record.
void append(const std::string& logPath, const std::string& text) {
    HANDLE h = ::CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(h);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string folder;
    std::string name = moduleName(folder);
    std::string logPath = env("STANDIN_LOG");
    if (logPath.empty()) logPath = folder + "\\standin.log";

    char cwd[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    // The Windows version this program was told (platform id, major, minor): Wine tells each
    // program name its own when asked to.
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ::GetVersionExA(&version);
    char windows[48];
    std::snprintf(windows, sizeof windows, "%lu.%lu.%lu",
                  static_cast<unsigned long>(version.dwPlatformId),
                  static_cast<unsigned long>(version.dwMajorVersion),
                  static_cast<unsigned long>(version.dwMinorVersion));
    std::string record = "program=" + name + "\r\ncmdline=" + ::GetCommandLineA() +
                         "\r\ncwd=" + cwd + "\r\nwindows=" + windows + "\r\n";
    for (int i = 1; i < __argc; ++i) {
        record += std::string("arg=") + __argv[i] + "\r\n";
        std::string data;
        if (readWhole(__argv[i], data)) {
            char line[64];
            std::snprintf(line, sizeof line, "|%u|%08X\r\n", static_cast<unsigned>(data.size()),
                          static_cast<unsigned>(crc32(data)));
            record += std::string("file=") + __argv[i] + line;
        }
    }
    // The arguments as the wide command line holds them, in UTF-8: names that the ANSI code
    // page cannot spell reach a program only so.
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            char utf8[4 * MAX_PATH] = "";
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, utf8, sizeof utf8, nullptr, nullptr);
            record += std::string("argw=") + utf8 + "\r\n";
        }
        ::LocalFree(wide);
    }
    record += "end\r\n";
    append(logPath, record);

    std::string hold = env("STANDIN_HOLD");
    for (int i = 0; !hold.empty() && i < 2400; ++i) {
        if (::GetFileAttributesA(hold.c_str()) != INVALID_FILE_ATTRIBUTES) break;
        ::Sleep(50);
    }
    std::string wait = env("STANDIN_WAIT_MS");
    if (!wait.empty()) ::Sleep(static_cast<DWORD>(std::strtoul(wait.c_str(), nullptr, 10)));
    append(logPath, "exit " + name + "\r\n");
    std::string code = env("STANDIN_EXIT");
    return code.empty() ? 0 : std::atoi(code.c_str());
}
