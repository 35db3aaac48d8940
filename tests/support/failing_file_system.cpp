#include "support/failing_file_system.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/types.h>
#endif

namespace testing_support {

namespace {

bool writes(const char* mode) {
    return std::strpbrk(mode, "wa+") != nullptr;
}

// Slashes only, no doubled or trailing ones, lower case: Windows paths ignore case.
std::string normalized(const std::string& path) {
    std::string out;
    for (char c : path) {
        char d = c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (d == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(d);
    }
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string nameOf(const std::string& path) {
    std::size_t sep = platform::lastSeparator(path);
    return normalized(sep == std::string::npos ? path : path.substr(sep + 1));
}

#ifndef _WIN32
// A stream over a real one that writes only what the disk still takes.
struct DiskStream {
    platform::FilePtr real;
    std::int64_t* freeBytes;
};

ssize_t diskRead(void* cookie, char* buf, size_t n) {
    auto* s = static_cast<DiskStream*>(cookie);
    std::size_t got = std::fread(buf, 1, n, s->real.get());
    if (got == 0 && std::ferror(s->real.get())) return -1;
    return static_cast<ssize_t>(got);
}

ssize_t diskWrite(void* cookie, const char* buf, size_t n) {
    auto* s = static_cast<DiskStream*>(cookie);
    std::size_t allowed = n;
    if (*s->freeBytes >= 0 && static_cast<std::int64_t>(n) > *s->freeBytes)
        allowed = static_cast<std::size_t>(*s->freeBytes);
    std::size_t put = allowed > 0 ? std::fwrite(buf, 1, allowed, s->real.get()) : 0;
    if (*s->freeBytes >= 0) *s->freeBytes -= static_cast<std::int64_t>(put);
    // A short count is the failure; a negative one would make fwrite report success.
    if (put < n) errno = ENOSPC;
    return static_cast<ssize_t>(put);
}

int diskSeek(void* cookie, off64_t* pos, int whence) {
    auto* s = static_cast<DiskStream*>(cookie);
    if (fseeko(s->real.get(), *pos, whence) != 0) return -1;
    *pos = ftello(s->real.get());
    return 0;
}

int diskClose(void* cookie) {
    auto* s = static_cast<DiskStream*>(cookie);
    int r = std::fclose(s->real.release());
    delete s;
    return r;
}
#endif

}  // namespace

bool FailingFileSystem::isUnder(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    std::string p = path;
    bool absolute = (!p.empty() && platform::isSeparator(p[0])) || (p.size() > 1 && p[1] == ':');
    std::string cwd;
    if (!absolute && inner_.currentFolder(cwd)) p = cwd + "/" + p;
    std::string n = normalized(p), f = normalized(folder);
    return n == f || (n.size() > f.size() && n.compare(0, f.size(), f) == 0 && n[f.size()] == '/');
}

bool FailingFileSystem::currentFolder(std::string& out) {
    if (currentFolderFails) return false;
    return inner_.currentFolder(out);
}

bool FailingFileSystem::setCurrentFolder(const std::string& p) {
    if (isUnder(p, unenterableFolder)) return false;
    return inner_.setCurrentFolder(p);
}

bool FailingFileSystem::refusesWrite(const std::string& p) {
    std::string name = nameOf(p);
    return isUnder(p, readOnlyFolder) ||
           std::any_of(refusedNames.begin(), refusedNames.end(),
                       [&](const std::string& r) { return normalized(r) == name; });
}

platform::FilePtr FailingFileSystem::openFile(const std::string& p, const char* mode) {
    if (!writes(mode)) {
        if (beforeRead) beforeRead(p);
        return inner_.openFile(p, mode);
    }
    if (refusesWrite(p)) {
        errno = EACCES;
        return nullptr;
    }
    platform::FilePtr f = inner_.openFile(p, mode);
    if (f && isUnder(p, diskFolder)) return onDisk(std::move(f), p, mode);
    return f;
}

namespace {

class FailingOutputFolder : public platform::OutputFolder {
public:
    FailingOutputFolder(FailingFileSystem& fs, std::unique_ptr<platform::OutputFolder> inner,
                        std::string base)
        : fs_(fs), inner_(std::move(inner)), base_(std::move(base)) {}
    platform::FilePtr createFile(const std::string& name, platform::CreateMode mode,
                                 const std::vector<platform::FileIdentity>& keep,
                                 platform::FileIdentity* created) override {
        std::string full = base_ + "/" + name;
        if (fs_.refusesWrite(full)) {
            errno = EACCES;
            return nullptr;
        }
        platform::FilePtr f = inner_->createFile(name, mode, keep, created);
        const char* streamMode = mode == platform::CreateMode::AppendText ? "a" : "w+b";
        if (f && fs_.isUnder(full, fs_.diskFolder))
            return fs_.onDisk(std::move(f), full, streamMode);
        return f;
    }
    bool identity(const std::string& name, platform::FileIdentity& out) override {
        return inner_->identity(name, out);
    }
    platform::FilePtr openExisting(const std::string& name,
                                   const platform::FileIdentity& id) override {
        return inner_->openExisting(name, id);
    }
    bool setFileTimes(const std::string& name, std::int64_t a, std::int64_t m) override {
        return inner_->setFileTimes(name, a, m);
    }
    bool removeFile(const std::string& name, const platform::FileIdentity& id) override {
        return inner_->removeFile(name, id);
    }

private:
    FailingFileSystem& fs_;
    std::unique_ptr<platform::OutputFolder> inner_;
    std::string base_;  // absolute, so that the checks do not move with the working folder
};

}  // namespace

std::unique_ptr<platform::OutputFolder> FailingFileSystem::openOutputFolder(const std::string& p) {
    std::unique_ptr<platform::OutputFolder> inner = inner_.openOutputFolder(p);
    if (!inner) return nullptr;
    std::string base = p, cwd;
    bool absolute = (!p.empty() && platform::isSeparator(p[0])) || (p.size() > 1 && p[1] == ':');
    if (!absolute && inner_.currentFolder(cwd)) base = cwd + "/" + p;
    return std::make_unique<FailingOutputFolder>(*this, std::move(inner), base);
}

platform::FilePtr FailingFileSystem::onDisk(platform::FilePtr f, const std::string& path,
                                            const char* mode) {
#ifdef _WIN32
    (void)mode;
    // No stream hooks here: a full disk is a read-only descriptor under the stream.
    if (freeBytes == 0) {
        int readOnly = _open(path.c_str(), _O_RDONLY | _O_BINARY);
        if (readOnly >= 0) {
            _dup2(readOnly, _fileno(f.get()));
            _close(readOnly);
        }
    }
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    return f;
#else
    (void)path;
    std::setvbuf(f.get(), nullptr, _IONBF, 0);
    auto* state = new DiskStream{std::move(f), &freeBytes};
    cookie_io_functions_t io{diskRead, diskWrite, diskSeek, diskClose};
    std::FILE* wrapped = fopencookie(state, mode, io);
    if (!wrapped) {
        delete state;
        return nullptr;
    }
    std::setvbuf(wrapped, nullptr, _IONBF, 0);
    return platform::FilePtr(wrapped);
#endif
}

}  // namespace testing_support
