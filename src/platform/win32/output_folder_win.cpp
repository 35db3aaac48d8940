// Unpacking into a folder on Windows: every folder on the way to a name is checked to be a
// real folder, not a reparse point (a symbolic link or a junction), and held open without
// delete sharing until the file is open, so it cannot be swapped for one meanwhile.
//
// Under Wine a Unix link to a file looks like a plain file (no reparse point), and opening it
// opens what it leads to; but the system then names the open file by the place it really is.
// So each opened folder and file must be found by the system directly inside the folder
// opened before it, starting at the destination itself, and a file is preferably created new,
// which never follows a link.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/output_folder_win.h"
#include "platform/win32/wide_text_win.h"

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

bool plainFile(const BY_HANDLE_FILE_INFORMATION& info) {
    return !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           info.nNumberOfLinks == 1;
}

// Windows drops trailing dots and spaces: a part made only of them could mean a parent.
bool usablePart(const std::string& part) {
    return part.find_first_not_of(". ") != std::string::npos;
}

// Where the system has an open file or folder: its volume, and its path there.
struct Location {
    DWORD volume = 0;
    std::wstring path;  // from the volume's root, starting with a backslash
};

// A file's path on its volume, as FILE_NAME_INFO and the native FILE_NAME_INFORMATION hold it.
struct NameInfo {
    DWORD length;  // in bytes
    WCHAR name[1];
};

// Reads (query) or writes a piece of an open file's information: through the kernel32 call
// Vista added (by its class), else through ntdll's call that Windows XP has (by the native
// class). Each names the same record.
enum class Info { Query, Set };
bool fileInformation(HANDLE h, Info what, int vistaClass, int nativeClass, void* data, DWORD size) {
    using ByHandle = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
    struct IoStatus {
        ULONG_PTR status, information;
    };
    using Native = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
    auto lookUp = [](const char* dll, const char* name) {
        return reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA(dll), name));
    };
    static const auto query =
        reinterpret_cast<ByHandle>(lookUp("KERNEL32.DLL", "GetFileInformationByHandleEx"));
    static const auto set =
        reinterpret_cast<ByHandle>(lookUp("KERNEL32.DLL", "SetFileInformationByHandle"));
    static const auto nativeQuery =
        reinterpret_cast<Native>(lookUp("NTDLL.DLL", "NtQueryInformationFile"));
    static const auto nativeSet =
        reinterpret_cast<Native>(lookUp("NTDLL.DLL", "NtSetInformationFile"));
    const ByHandle byHandle = what == Info::Query ? query : set;
    const Native native = what == Info::Query ? nativeQuery : nativeSet;
    if (byHandle) return byHandle(h, vistaClass, data, size) != 0;
    IoStatus status{};
    return native && native(h, &status, data, size, nativeClass) >= 0;
}

// The path of an open file on its volume (FileNameInfo, FileNameInformation).
bool pathOf(HANDLE h, NameInfo* name, DWORD size) {
    return fileInformation(h, Info::Query, 2, 9, name, size);
}

// Marks an open file for deletion when its last handle closes (FileDispositionInfo,
// FileDispositionInformation).
bool deleteOnClose(HANDLE h) {
    BOOLEAN remove = TRUE;
    return fileInformation(h, Info::Set, 4, 13, &remove, sizeof remove);
}

bool locate(HANDLE h, const BY_HANDLE_FILE_INFORMATION& info, Location& out) {
    // Room for the longest path there is.
    std::vector<unsigned char> buffer(sizeof(NameInfo) + 32768 * sizeof(WCHAR));
    auto* name = reinterpret_cast<NameInfo*>(buffer.data());
    if (!pathOf(h, name, static_cast<DWORD>(buffer.size()))) return false;
    out.volume = info.dwVolumeSerialNumber;
    out.path.assign(name->name, name->length / sizeof(WCHAR));
    return true;
}

// Upper case as the file system folds names (CompareStringOrdinal came only with Vista).
std::wstring folded(const wchar_t* text, std::size_t n) {
    std::wstring s(text, n);
    if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// True when child lies directly inside the folder parent (names compared as the file system
// does, without regard to case).
bool directlyInside(const Location& child, const Location& parent) {
    if (child.volume != parent.volume) return false;
    std::size_t cut = child.path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut + 1 == child.path.size()) return false;
    std::size_t n = parent.path.size();
    while (n > 0 && parent.path[n - 1] == L'\\') --n;
    return folded(child.path.data(), cut) == folded(parent.path.data(), n);
}

template <typename T>
T failWith(int error, T none) {
    errno = error;
    return none;
}

// The way to a name: the folders on it, held open, the full path, and the folder holding it.
struct Way {
    std::vector<FileHandle> held;
    std::wstring path;
    Location parent;
};

class Win32OutputFolder : public OutputFolder {
public:
    Win32OutputFolder(std::wstring base, FileHandle handle, Location where)
        : base_(std::move(base)), handle_(std::move(handle)), where_(std::move(where)) {}

    FilePtr createFile(const std::string& name, CreateMode mode,
                       const std::vector<FileIdentity>& keep, FileIdentity* created) override {
        Way way;
        if (!walk(name, true, way)) return nullptr;
        const bool log = mode == CreateMode::AppendText;
        const DWORD access = GENERIC_READ | GENERIC_WRITE;
        const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
        // A log may be written by others meanwhile, as the C run-time's streams share them.
        const DWORD share = log ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
        // A file made new cannot be a link's target, also not under Wine.
        FileHandle h(
            ::CreateFileW(way.path.c_str(), access, share, nullptr, CREATE_NEW, flags, nullptr));
        const bool made = static_cast<bool>(h);
        if (!made) {
            DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return failWith(EACCES, nullptr);
            if (mode == CreateMode::New) return failWith(EEXIST, nullptr);
            h = FileHandle(::CreateFileW(way.path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                         flags, nullptr));
            if (!h) {
                // There, yet not there to open: under Wine a link that leads nowhere.
                error = ::GetLastError();
                bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
                return failWith(missing ? ELOOP : EACCES, nullptr);
            }
        }
        BY_HANDLE_FILE_INFORMATION info;
        Location at;
        if (!handleInfo(h.get(), info) || !locate(h.get(), info, at))
            return failWith(EACCES, nullptr);
        if (!plainFile(info) || !directlyInside(at, way.parent)) return failWith(ELOOP, nullptr);
        if (std::find(keep.begin(), keep.end(), identityOfInfo(info)) != keep.end())
            return failWith(EACCES, nullptr);
        if (!made && mode == CreateMode::Replace &&
            (::SetFilePointer(h.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
             !::SetEndOfFile(h.get())))
            return failWith(EACCES, nullptr);
        int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h.get()),
                                   log ? _O_APPEND | _O_TEXT : _O_BINARY);
        if (fd < 0) return failWith(EACCES, nullptr);
        h.release();
        std::FILE* f = ::_fdopen(fd, log ? "a" : "w+b");
        if (!f) {
            ::_close(fd);
            return failWith(EACCES, nullptr);
        }
        if (created) *created = identityOfInfo(info);
        return FilePtr(f);
    }

    bool identity(const std::string& name, FileIdentity& out) override {
        Way way;
        if (!walk(name, false, way)) return false;
        FileHandle h = openPath(way.path, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info;
        if (!h || !handleInfo(h.get(), info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            return false;
        // Also a file that a link in the destination leads to: what an entry would reach.
        out = identityOfInfo(info);
        return true;
    }

    FilePtr openExisting(const std::string& name, const FileIdentity& id) override {
        Way way;
        if (!walk(name, false, way)) return nullptr;
        FileHandle h = openPath(way.path, GENERIC_READ);
        BY_HANDLE_FILE_INFORMATION info;
        Location at;
        if (!h || !handleInfo(h.get(), info) || !plainFile(info) || identityOfInfo(info) != id ||
            !locate(h.get(), info, at) || !directlyInside(at, way.parent))
            return nullptr;
        int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h.get()), _O_RDONLY | _O_BINARY);
        if (fd < 0) return nullptr;
        h.release();
        std::FILE* f = ::_fdopen(fd, "rb");
        if (!f) ::_close(fd);
        return FilePtr(f);
    }

    bool setFileTimes(const std::string& name, std::int64_t accessTime,
                      std::int64_t modifyTime) override {
        Way way;
        if (!walk(name, false, way)) return false;
        FileHandle h = openPath(way.path, FILE_WRITE_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info;
        Location at;
        if (!h || !handleInfo(h.get(), info) || isReparse(info.dwFileAttributes) ||
            !locate(h.get(), info, at) || !directlyInside(at, way.parent))
            return false;
        FILETIME a = unixToFileTime(accessTime), m = unixToFileTime(modifyTime);
        return ::SetFileTime(h.get(), nullptr, &a, &m) != 0;
    }

    bool removeFile(const std::string& name, const FileIdentity& id) override {
        Way way;
        if (!walk(name, false, way)) return false;
        // Deleted through the handle: under Wine a deletion by name would delete what a Unix
        // link in its place leads to.
        FileHandle h = openPath(way.path, DELETE | FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION info;
        Location at;
        if (!h || !handleInfo(h.get(), info) || isReparse(info.dwFileAttributes) ||
            identityOfInfo(info) != id || !locate(h.get(), info, at) ||
            !directlyInside(at, way.parent))
            return false;
        return deleteOnClose(h.get());
    }

private:
    static FileHandle openPath(const std::wstring& path, DWORD access) {
        DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || isReparse(attributes)) return FileHandle();
        return FileHandle(::CreateFileW(
            path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    }

    // Checks (and with create makes) every folder of name, holding each open. A file already
    // there must not be a reparse point either. On failure errno is ELOOP when a link is in
    // the way. The parts of a name are entry names of a package, in the ANSI code page.
    bool walk(const std::string& name, bool create, Way& way) const {
        std::vector<std::string> parts;
        if (!splitRelativeName(name, parts) || !std::all_of(parts.begin(), parts.end(), usablePart))
            return failWith(EINVAL, false);
        way.path = base_;
        way.parent = where_;
        for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
            way.path += part(parts[i]);
            if (create) ::CreateDirectoryW(way.path.c_str(), nullptr);
            DWORD attributes = ::GetFileAttributesW(way.path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) return failWith(ENOENT, false);
            if (isReparse(attributes)) return failWith(ELOOP, false);
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return failWith(ENOTDIR, false);
            FileHandle h(::CreateFileW(
                way.path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            BY_HANDLE_FILE_INFORMATION info;
            Location at;
            if (!h || !handleInfo(h.get(), info) || !locate(h.get(), info, at))
                return failWith(EACCES, false);
            if (isReparse(info.dwFileAttributes) ||
                !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
                !directlyInside(at, way.parent))
                return failWith(ELOOP, false);
            way.held.push_back(std::move(h));
            way.parent = std::move(at);
            way.path += L'\\';
        }
        way.path += part(parts.back());
        DWORD attributes = ::GetFileAttributesW(way.path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && isReparse(attributes))
            return failWith(ELOOP, false);
        return true;
    }

    static std::wstring part(const std::string& ansi) {
        return win32::wide(asUtf8(ansi, TextEncoding::Ansi));
    }

    std::wstring base_;  // full path with a trailing backslash
    FileHandle handle_;  // the destination, held open without delete sharing
    Location where_;     // where the system has it
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
    wchar_t full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(win32::wide(path).c_str(), MAX_PATH * 4, full, nullptr);
    if (n == 0 || n >= MAX_PATH * 4) return nullptr;
    DWORD attributes = ::GetFileAttributesW(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    // The destination itself may be reached through links: that is the caller's choice.
    FileHandle h(::CreateFileW(full, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    Location where;
    if (!h || !handleInfo(h.get(), info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !locate(h.get(), info, where))
        return nullptr;
    std::wstring base(full, n);
    if (base.back() != L'\\' && base.back() != L'/') base += L'\\';
    return std::make_unique<Win32OutputFolder>(std::move(base), std::move(h), std::move(where));
}

}  // namespace platform
