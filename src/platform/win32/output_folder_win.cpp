// Unpacking into a folder on Windows: every folder on the way to a name is checked to be a
// real folder, not a reparse point (a symbolic link or a junction), and held open without
// delete sharing until the file is open, so it cannot be swapped for one meanwhile.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "platform/file_system.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/output_folder_win.h"

namespace platform {

using win32::FileHandle;

namespace {

bool handleInfo(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(h, &info) != 0;
}

FileIdentity identityOfInfo(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool isReparse(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Windows drops trailing dots and spaces: a part made only of them could mean a parent.
bool usablePart(const std::string& part) {
    return part.find_first_not_of(". ") != std::string::npos;
}

class Win32OutputFolder : public OutputFolder {
public:
    explicit Win32OutputFolder(std::string base) : base_(std::move(base)) {}

    FilePtr createFile(const std::string& name, bool exclusive,
                       const std::vector<FileIdentity>& keep, FileIdentity* created) override {
        std::vector<FileHandle> held;
        std::string path;
        if (!walk(name, true, held, path)) return nullptr;
        DWORD disposition = exclusive ? CREATE_NEW : OPEN_ALWAYS;
        FileHandle h(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                   nullptr, disposition,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!h) {
            DWORD error = ::GetLastError();
            errno = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? EEXIST : EACCES;
            return nullptr;
        }
        BY_HANDLE_FILE_INFORMATION info;
        if (!handleInfo(h.get(), info) || !plainFile(info) ||
            std::find(keep.begin(), keep.end(), identityOfInfo(info)) != keep.end())
            return nullptr;
        if (::SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !::SetEndOfFile(h.get()))
            return nullptr;
        int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h.get()), _O_BINARY);
        if (fd < 0) return nullptr;
        h.release();
        std::FILE* f = ::_fdopen(fd, "w+b");
        if (!f) {
            ::_close(fd);
            return nullptr;
        }
        if (created) *created = identityOfInfo(info);
        return FilePtr(f);
    }

    bool identity(const std::string& name, FileIdentity& out) override {
        std::vector<FileHandle> held;
        std::string path;
        if (!walk(name, false, held, path)) return false;
        FileHandle h = openExisting(path, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info;
        if (!h || !handleInfo(h.get(), info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            return false;
        out = identityOfInfo(info);
        return true;
    }

    bool setFileTimes(const std::string& name, std::int64_t accessTime,
                      std::int64_t modifyTime) override {
        std::vector<FileHandle> held;
        std::string path;
        if (!walk(name, false, held, path)) return false;
        FileHandle h = openExisting(path, FILE_WRITE_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info;
        if (!h || !handleInfo(h.get(), info) || isReparse(info.dwFileAttributes)) return false;
        FILETIME a = unixToFileTime(accessTime), m = unixToFileTime(modifyTime);
        return ::SetFileTime(h.get(), nullptr, &a, &m) != 0;
    }

private:
    static bool plainFile(const BY_HANDLE_FILE_INFORMATION& info) {
        return !(info.dwFileAttributes &
                 (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
               info.nNumberOfLinks == 1;
    }

    static FileHandle openExisting(const std::string& path, DWORD access) {
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || isReparse(attributes)) return FileHandle();
        return FileHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    }

    // Checks (and with create makes) every folder of name, holding each open; path receives
    // the full path of the name. A file already there must not be a reparse point either.
    bool walk(const std::string& name, bool create, std::vector<FileHandle>& held,
              std::string& path) const {
        std::vector<std::string> parts;
        if (!splitRelativeName(name, parts) || !std::all_of(parts.begin(), parts.end(), usablePart))
            return false;
        path = base_;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            path += parts[i];
            if (create) ::CreateDirectoryA(path.c_str(), nullptr);
            DWORD attributes = ::GetFileAttributesA(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || isReparse(attributes) ||
                !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return false;
            FileHandle h(::CreateFileA(
                path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            BY_HANDLE_FILE_INFORMATION info;
            if (!h || !handleInfo(h.get(), info) || isReparse(info.dwFileAttributes) ||
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return false;
            held.push_back(std::move(h));
            path += '\\';
        }
        path += parts.back();
        DWORD attributes = ::GetFileAttributesA(path.c_str());
        return attributes == INVALID_FILE_ATTRIBUTES || !isReparse(attributes);
    }

    std::string base_;  // full path with a trailing backslash
};

}  // namespace

bool identityOf(std::FILE* f, FileIdentity& out) {
    int fd = f ? ::_fileno(f) : -1;
    if (fd < 0) return false;
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    BY_HANDLE_FILE_INFORMATION info;
    if (h == INVALID_HANDLE_VALUE || !handleInfo(h, info)) return false;
    out = identityOfInfo(info);
    return true;
}

namespace {

// ReadFile and WriteFile at an offset: on a handle opened for synchronous access they move
// the file pointer too, which nothing else of a stream used this way relies on.
bool transferAt(std::FILE* f, std::int64_t offset, void* p, std::size_t n, bool write) {
    int fd = f ? ::_fileno(f) : -1;
    if (offset < 0) return false;
    if (fd < 0) {
        if (!f || ::_fseeki64(f, offset, SEEK_SET) != 0) return false;
        return (write ? std::fwrite(p, 1, n, f) : std::fread(p, 1, n, f)) == n;
    }
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (h == INVALID_HANDLE_VALUE) return false;
    auto* bytes = static_cast<unsigned char*>(p);
    while (n > 0) {
        DWORD part = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), done = 0;
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
        BOOL ok = write ? ::WriteFile(h, bytes, part, &done, &at)
                        : ::ReadFile(h, bytes, part, &done, &at);
        if (!ok || done == 0) return false;
        bytes += done, offset += done, n -= done;
    }
    return true;
}

}  // namespace

bool readAt(std::FILE* f, std::int64_t offset, void* dst, std::size_t n) {
    return transferAt(f, offset, dst, n, false);
}

bool writeAt(std::FILE* f, std::int64_t offset, const void* src, std::size_t n) {
    return transferAt(f, offset, const_cast<void*>(src), n, true);
}

std::unique_ptr<OutputFolder> openWin32OutputFolder(const std::string& path) {
    char full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) return nullptr;
    DWORD attributes = ::GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    std::string base(full, n);
    if (base.back() != '\\' && base.back() != '/') base += '\\';
    return std::make_unique<Win32OutputFolder>(std::move(base));
}

}  // namespace platform
