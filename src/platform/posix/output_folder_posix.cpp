// Unpacking into a folder through descriptors: every part of a name is opened relative to the
// folder before it and never through a symbolic link, and a name missing as spelt is looked up
// without regard to case, as Windows would.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "platform/posix/output_folder_posix.h"

namespace platform {

bool identityOf(std::FILE* f, FileIdentity& out) {
    struct stat st;
    int fd = f ? ::fileno(f) : -1;
    if (fd < 0 || ::fstat(fd, &st) != 0) return false;
    out = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

namespace {

bool transferAt(std::FILE* f, std::int64_t offset, void* p, std::size_t n, bool write) {
    int fd = f ? ::fileno(f) : -1;
    if (offset < 0) return false;
    if (fd < 0) {
        if (!f || ::fseeko(f, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
        return (write ? std::fwrite(p, 1, n, f) : std::fread(p, 1, n, f)) == n;
    }
    auto* bytes = static_cast<unsigned char*>(p);
    while (n > 0) {
        ssize_t done = write ? ::pwrite(fd, bytes, n, static_cast<off_t>(offset))
                             : ::pread(fd, bytes, n, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done, offset += done, n -= static_cast<std::size_t>(done);
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

namespace {

std::string folded(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

class PosixOutputFolder : public OutputFolder {
public:
    explicit PosixOutputFolder(int fd) : root_(fd) {}
    ~PosixOutputFolder() override {
        if (parentFd_ >= 0) ::close(parentFd_);
        ::close(root_);
    }

    FilePtr createFile(const std::string& name, CreateMode mode,
                       const std::vector<FileIdentity>& keep, FileIdentity* created) override {
        std::string leaf;
        int dir = openParent(name, true, leaf);
        if (dir < 0) return nullptr;
        // Non-blocking: a FIFO planted under the name fails at once instead of waiting.
        int flags = O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        if (mode == CreateMode::New) flags |= O_EXCL;
        if (mode == CreateMode::AppendText) flags = (flags & ~O_RDWR) | O_WRONLY | O_APPEND;
        int fd = ::openat(dir, leaf.c_str(), flags, 0666);
        // A link as the last part: ELOOP from O_NOFOLLOW (EEXIST when the name had to be new).
        if (fd < 0) return nullptr;
        struct stat st;
        FileIdentity id;
        int refusal = 0;
        if (::fstat(fd, &st) != 0) {
            refusal = EACCES;
        } else if (!S_ISREG(st.st_mode) || st.st_nlink != 1) {
            refusal = ELOOP;
        } else {
            id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
            if (std::find(keep.begin(), keep.end(), id) != keep.end()) refusal = EACCES;
        }
        if (!refusal && mode == CreateMode::Replace && st.st_size != 0 && ::ftruncate(fd, 0) != 0)
            refusal = EACCES;
        if (!refusal && ::fcntl(fd, F_SETFL, flags & (O_RDWR | O_WRONLY | O_APPEND)) != 0)
            refusal = EACCES;
        std::FILE* f =
            refusal ? nullptr : ::fdopen(fd, mode == CreateMode::AppendText ? "a" : "w+b");
        if (!f) {
            ::close(fd);
            errno = refusal ? refusal : EACCES;
            return nullptr;
        }
        remember(parentKey_, leaf);
        if (created) *created = id;
        return FilePtr(f);
    }

    bool identity(const std::string& name, FileIdentity& out) override {
        std::string leaf;
        int dir = openParent(name, false, leaf);
        struct stat st;
        if (dir < 0 || ::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            return false;
        out = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
        return true;
    }

    FilePtr openExisting(const std::string& name, const FileIdentity& id) override {
        std::string leaf;
        int dir = openParent(name, false, leaf);
        if (dir < 0) return nullptr;
        int fd = ::openat(dir, leaf.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return nullptr;
        struct stat st;
        std::FILE* f = nullptr;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                         static_cast<std::uint64_t>(st.st_ino)} == id)
            f = ::fdopen(fd, "rb");
        if (!f) ::close(fd);
        return FilePtr(f);
    }

    bool setFileTimes(const std::string& name, std::int64_t accessTime,
                      std::int64_t modifyTime) override {
        std::string leaf;
        int dir = openParent(name, false, leaf);
        if (dir < 0) return false;
        struct timespec ts[2] = {};
        ts[0].tv_sec = static_cast<time_t>(accessTime);
        ts[1].tv_sec = static_cast<time_t>(modifyTime);
        return ::utimensat(dir, leaf.c_str(), ts, AT_SYMLINK_NOFOLLOW) == 0;
    }

    bool removeFile(const std::string& name, const FileIdentity& id) override {
        std::string leaf;
        int dir = openParent(name, false, leaf);
        struct stat st;
        if (dir < 0 || ::fstatat(dir, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) ||
            FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                         static_cast<std::uint64_t>(st.st_ino)} != id)
            return false;
        return ::unlinkat(dir, leaf.c_str(), 0) == 0;
    }

private:
    // The folder holding the last part of name (creating missing folders when create), as a
    // descriptor this object keeps; leaf receives the last part as spelt on disk. -1 on failure.
    int openParent(const std::string& name, bool create, std::string& leaf) {
        std::vector<std::string> parts;
        if (!splitRelativeName(name, parts)) {
            errno = EINVAL;
            return -1;
        }
        std::string folder = name.substr(0, name.size() - parts.back().size());
        // Names looked at before anything is made often share a folder that is not there yet.
        if (create) {
            missingName_.clear();
        } else if (!missingName_.empty() && folder == missingName_) {
            errno = ENOENT;
            return -1;
        }
        if (parentFd_ < 0 || folder != parentName_) {
            if (parentFd_ >= 0) ::close(parentFd_);
            parentFd_ = -1;
            int fd = ::dup(root_);
            std::string key;
            for (std::size_t i = 0; fd >= 0 && i + 1 < parts.size(); ++i) {
                std::string part = spelling(fd, key, parts[i]);
                const int dirFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
                int next = ::openat(fd, part.c_str(), dirFlags);
                if (next < 0 && errno == ENOENT && create &&
                    ::mkdirat(fd, part.c_str(), 0777) == 0) {
                    remember(key, part);
                    next = ::openat(fd, part.c_str(), dirFlags);
                }
                int error = errno;
                struct stat st;
                if (next < 0 && ::fstatat(fd, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                    S_ISLNK(st.st_mode))
                    error = ELOOP;  // whatever O_DIRECTORY made of it: a link is in the way
                ::close(fd);
                errno = error;
                fd = next;
                key += '/' + part;
            }
            if (fd < 0) {
                if (!create) missingName_ = folder;
                return -1;
            }
            parentFd_ = fd;
            parentName_ = folder;
            parentKey_ = key;
        }
        leaf = spelling(parentFd_, parentKey_, parts.back());
        return parentFd_;
    }

    // The name on disk of part in the folder dir (known as key): part itself when it exists as
    // spelt, else an entry equal to it without regard to case, else part. A folder listed once
    // answers from its listing, which this object's creations keep up to date: no system call
    // a name. (A name someone else makes meanwhile is then used as spelt.)
    std::string spelling(int dir, const std::string& key, const std::string& part) {
        auto found = listed_.find(key);
        if (found == listed_.end()) {
            struct stat st;
            if (::fstatat(dir, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT)
                return part;
            found = listed_.emplace(key, list(dir)).first;
        }
        auto entry = found->second.find(folded(part));
        return entry == found->second.end() ? part : entry->second;
    }

    // Every entry of a folder by its folded name: one scan a folder, not one a new name.
    static std::unordered_map<std::string, std::string> list(int dir) {
        std::unordered_map<std::string, std::string> names;
        int fd = ::dup(dir);
        DIR* d = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!d) {
            if (fd >= 0) ::close(fd);
            return names;
        }
        ::rewinddir(d);
        while (dirent* e = ::readdir(d)) names.emplace(folded(e->d_name), e->d_name);
        ::closedir(d);
        return names;
    }

    void remember(const std::string& key, const std::string& part) {
        auto found = listed_.find(key);
        if (found != listed_.end()) found->second.emplace(folded(part), part);
    }

    int root_;
    int parentFd_ = -1;  // the folder of the last name, kept for the next one
    std::string parentName_, parentKey_;
    std::string missingName_;  // a folder found missing since the last creation
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> listed_;
};

}  // namespace

std::unique_ptr<OutputFolder> openPosixOutputFolder(const std::string& resolvedPath) {
    int fd = ::open(resolvedPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutputFolder>(fd);
}

}  // namespace platform
