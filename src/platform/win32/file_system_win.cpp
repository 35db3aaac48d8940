#include <windows.h>

#include <io.h>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/output_folder_win.h"
#include "platform/win32/wide_text_win.h"

namespace platform {

FILETIME unixToFileTime(std::int64_t t) {
    // 100 ns intervals since 1601-01-01.
    std::uint64_t v = static_cast<std::uint64_t>(t * 10000000LL + 116444736000000000LL);
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(v);
    ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
    return ft;
}

namespace {

using win32::FileHandle;
using win32::FindHandle;
using win32::wide;

bool isDots(const wchar_t* n) {
    return n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0));
}

class Win32Finder : public FileFinder {
public:
    Win32Finder(FindHandle h, const WIN32_FIND_DATAW& d) : h_(std::move(h)), data_(d) {}
    std::string name() const override { return win32::narrow(data_.cFileName); }
    bool isFolder() const override {
        return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    std::uint64_t size() const override {
        return (static_cast<std::uint64_t>(data_.nFileSizeHigh) << 32) | data_.nFileSizeLow;
    }
    bool findNext() override {
        while (::FindNextFileW(h_.get(), &data_)) {
            if (!isDots(data_.cFileName)) return true;
        }
        return false;
    }

private:
    FindHandle h_;
    WIN32_FIND_DATAW data_;
};

std::int64_t fileTimeToUnix(const FILETIME& ft) {
    std::uint64_t v = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    std::int64_t ticks = static_cast<std::int64_t>(v) - 116444736000000000LL;
    // Whole seconds, rounded down also before 1970.
    return ticks >= 0 ? ticks / 10000000LL : -((-ticks + 9999999LL) / 10000000LL);
}

class Win32FileSystem : public FileSystem {
public:
    bool exists(const std::string& path) override {
        return ::GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool isFolder(const std::string& path) override {
        DWORD a = ::GetFileAttributesW(wide(path).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::unique_ptr<FileFinder> findFirst(const std::string& pattern) override {
        WIN32_FIND_DATAW d;
        FindHandle h(::FindFirstFileW(wide(pattern).c_str(), &d));
        if (!h) return nullptr;
        auto f = std::make_unique<Win32Finder>(std::move(h), d);
        if (isDots(d.cFileName) && !f->findNext()) return nullptr;
        return f;
    }
    bool createFolder(const std::string& path) override {
        return ::CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
    }
    bool removeFolder(const std::string& path) override {
        return ::RemoveDirectoryW(wide(path).c_str()) != 0;
    }
    bool deleteFile(const std::string& path) override {
        return ::DeleteFileW(wide(path).c_str()) != 0;
    }
    bool setFileTimes(const std::string& path, std::int64_t accessTime,
                      std::int64_t modifyTime) override {
        FileHandle h(::CreateFileW(wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h) return false;
        FILETIME a = unixToFileTime(accessTime), m = unixToFileTime(modifyTime);
        return ::SetFileTime(h.get(), nullptr, &a, &m) != 0;
    }
    bool getFileTimes(const std::string& path, std::int64_t& accessTime,
                      std::int64_t& modifyTime) override {
        WIN32_FILE_ATTRIBUTE_DATA d;
        if (!::GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &d)) return false;
        accessTime = fileTimeToUnix(d.ftLastAccessTime);
        modifyTime = fileTimeToUnix(d.ftLastWriteTime);
        return true;
    }
    bool currentFolder(std::string& out) override {
        wchar_t buf[MAX_PATH * 4];
        DWORD n = ::GetCurrentDirectoryW(MAX_PATH * 4, buf);
        if (n == 0 || n >= MAX_PATH * 4) return false;
        out = win32::narrow(std::wstring_view(buf, n));
        return true;
    }
    bool setCurrentFolder(const std::string& path) override {
        return ::SetCurrentDirectoryW(wide(path).c_str()) != 0;
    }
    FilePtr openFile(const std::string& path, const char* mode) override {
        return FilePtr(::_wfopen(wide(path).c_str(), wide(mode).c_str()));
    }
    std::unique_ptr<OutputFolder> openOutputFolder(const std::string& path) override {
        return openWin32OutputFolder(path);
    }
    bool renameFile(const std::string& from, const std::string& to) override {
        return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }
};

class TickClock : public Clock {
public:
    std::uint32_t tickCount() override { return ::GetTickCount(); }
};

}  // namespace

bool isRegularStream(std::FILE* file) {
    // A disk file, not a console, a serial port or a pipe ("CON" and "COM1" name devices in
    // every folder); a folder cannot be opened by the C run-time at all.
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (h == INVALID_HANDLE_VALUE || ::GetFileType(h) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info;
    return ::GetFileInformationByHandle(h, &info) &&
           !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileSystem& systemFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

Clock& systemClock() {
    static TickClock clock;
    return clock;
}

}  // namespace platform
