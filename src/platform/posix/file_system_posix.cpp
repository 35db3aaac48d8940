// POSIX file system: backslashes become slashes and a missing name is looked up again
// without regard to case, one path component at a time.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/file_system.h"
#include "platform/posix/output_folder_posix.h"
#include "platform/wildcard.h"

namespace platform {
namespace {

bool pathExists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

// Finds an entry of folder dir whose name equals name without regard to case.
bool findFolded(const std::string& dir, const std::string& name, std::string& found) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool ok = false;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

}  // namespace

// Maps a path of the core to this system's spelling of it.
std::string resolvePosixPath(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || pathExists(p)) return p;
    // A missing path is mostly a new name in a folder that exists as spelt: folding starts after
    // the longest leading part that exists, not at the root (a stat saved for every level).
    std::size_t pos = p[0] == '/' ? 1 : 0;
    for (std::size_t cut = p.rfind('/'); cut != std::string::npos && cut > 0;
         cut = p.rfind('/', cut - 1)) {
        if (pathExists(p.substr(0, cut))) {
            pos = cut + 1;
            break;
        }
    }
    std::string out = p.substr(0, pos);
    bool resolving = true;
    while (pos <= p.size()) {
        std::size_t next = p.find('/', pos);
        if (next == std::string::npos) next = p.size();
        std::string comp = p.substr(pos, next - pos);
        if (!comp.empty()) {
            std::string candidate = out + comp;
            if (resolving && !pathExists(candidate)) {
                std::string found;
                std::string dir = out.empty() ? "." : out;
                if (comp != "." && comp != ".." && findFolded(dir, comp, found))
                    candidate = out + found;
                else
                    resolving = false;
            }
            out = candidate;
            if (next < p.size()) out += '/';
        }
        pos = next + 1;
    }
    return out;
}

namespace {

class PosixFinder : public FileFinder {
public:
    PosixFinder(std::string folder, std::vector<std::string> names)
        : folder_(std::move(folder)), names_(std::move(names)) {}
    std::string name() const override { return names_[index_]; }
    bool isFolder() const override {
        struct stat st;
        return ::stat(full().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::uint64_t size() const override {
        struct stat st;
        return ::stat(full().c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }
    bool findNext() override { return ++index_ < names_.size(); }

private:
    std::string full() const { return folder_ + names_[index_]; }
    std::string folder_;
    std::vector<std::string> names_;
    std::size_t index_ = 0;
};

class PosixFileSystem : public FileSystem {
public:
    bool exists(const std::string& path) override { return pathExists(resolvePosixPath(path)); }
    bool isFolder(const std::string& path) override {
        struct stat st;
        return ::stat(resolvePosixPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::unique_ptr<FileFinder> findFirst(const std::string& pattern) override {
        std::size_t sep = lastSeparator(pattern);
        std::string folder = sep == std::string::npos ? "" : pattern.substr(0, sep + 1);
        std::string mask = pattern.substr(sep == std::string::npos ? 0 : sep + 1);
        std::string dir = folder.empty() ? std::string(".") : resolvePosixPath(folder);
        DIR* d = ::opendir(dir.c_str());
        if (!d) return nullptr;
        std::vector<std::string> names;
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            if (wildcardMatch(mask, n)) names.push_back(n);
        }
        ::closedir(d);
        if (names.empty()) return nullptr;
        if (dir.back() != '/') dir += '/';
        return std::make_unique<PosixFinder>(dir, std::move(names));
    }
    bool createFolder(const std::string& path) override {
        return ::mkdir(resolvePosixPath(path).c_str(), 0777) == 0;
    }
    bool removeFolder(const std::string& path) override {
        return ::rmdir(resolvePosixPath(path).c_str()) == 0;
    }
    bool deleteFile(const std::string& path) override {
        std::string p = resolvePosixPath(path);
        struct stat st;
        if (::stat(p.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
        return ::unlink(p.c_str()) == 0;
    }
    bool setFileTimes(const std::string& path, std::int64_t accessTime,
                      std::int64_t modifyTime) override {
        struct timespec ts[2] = {};
        ts[0].tv_sec = static_cast<time_t>(accessTime);
        ts[1].tv_sec = static_cast<time_t>(modifyTime);
        return ::utimensat(AT_FDCWD, resolvePosixPath(path).c_str(), ts, 0) == 0;
    }
    bool getFileTimes(const std::string& path, std::int64_t& accessTime,
                      std::int64_t& modifyTime) override {
        struct stat st;
        if (::stat(resolvePosixPath(path).c_str(), &st) != 0) return false;
        accessTime = static_cast<std::int64_t>(st.st_atim.tv_sec);
        modifyTime = static_cast<std::int64_t>(st.st_mtim.tv_sec);
        return true;
    }
    bool currentFolder(std::string& out) override {
        // Allocated by the C library: the path may be longer than PATH_MAX.
        char* cwd = ::getcwd(nullptr, 0);
        if (!cwd) return false;
        out = cwd;
        std::free(cwd);
        return true;
    }
    bool setCurrentFolder(const std::string& path) override {
        std::string p = resolvePosixPath(path);
        if (::chdir(p.c_str()) == 0) return true;
        return errno == ENAMETOOLONG && changeFolderStepwise(p);
    }
    FilePtr openFile(const std::string& path, const char* mode) override {
        return FilePtr(std::fopen(resolvePosixPath(path).c_str(), mode));
    }
    std::unique_ptr<OutputFolder> openOutputFolder(const std::string& path) override {
        return openPosixOutputFolder(resolvePosixPath(path));
    }
    bool renameFile(const std::string& from, const std::string& to) override {
        return ::rename(resolvePosixPath(from).c_str(), resolvePosixPath(to).c_str()) == 0;
    }
    FilePtr openRegularFile(const std::string& path) override {
        // Without waiting: opening a FIFO for reading would block until a writer came.
        int fd = ::open(resolvePosixPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
            ::close(fd);
            return nullptr;
        }
        std::FILE* f = ::fdopen(fd, "rb");
        if (!f) ::close(fd);
        return FilePtr(f);
    }

private:
    // A path too long for one call is entered a few parts at a time (a working folder saved
    // deep in a tree must be restorable).
    static bool changeFolderStepwise(const std::string& p) {
        std::size_t pos = 0;
        if (!p.empty() && p[0] == '/') {
            if (::chdir("/") != 0) return false;
            pos = 1;
        }
        while (pos < p.size()) {
            std::size_t end = std::min(p.size(), pos + PATH_MAX / 2);
            if (end < p.size()) {
                std::size_t cut = p.rfind('/', end);
                if (cut == std::string::npos || cut <= pos) return false;
                end = cut;
            }
            if (::chdir(p.substr(pos, end - pos).c_str()) != 0) return false;
            pos = end + 1;
        }
        return true;
    }
};

}  // namespace

bool isRegularStream(std::FILE* file) {
    struct stat st;
    return ::fstat(::fileno(file), &st) == 0 && S_ISREG(st.st_mode);
}

FileSystem& systemFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace platform
