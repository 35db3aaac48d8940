#pragma once
// File system access of the portable core. Paths are built with backslashes; the POSIX
// implementation also accepts slashes and finds a name regardless of case when the exact
// spelling is missing, so a disc copied from a CD keeps working.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace platform {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// One entry of a folder search; findNext moves to the following entry.
class FileFinder {
public:
    virtual ~FileFinder() = default;
    virtual std::string name() const = 0;  // the entry's own name, without folder
    virtual bool isFolder() const = 0;
    virtual std::uint64_t size() const = 0;
    virtual bool findNext() = 0;  // false when no entry is left
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool exists(const std::string& path) = 0;  // file or folder
    virtual bool isFolder(const std::string& path) = 0;
    // The first entry matching a pattern whose last component may hold '*' and '?';
    // null when nothing matches.
    virtual std::unique_ptr<FileFinder> findFirst(const std::string& pattern) = 0;
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool removeFolder(const std::string& path) = 0;  // only an empty folder
    virtual bool deleteFile(const std::string& path) = 0;
    // Times in seconds since 1970-01-01 UTC.
    virtual bool setFileTimes(const std::string& path, std::int64_t accessTime,
                              std::int64_t modifyTime) = 0;
    // The last-access and last-modification times, same unit; false when unknown.
    virtual bool getFileTimes(const std::string& path, std::int64_t& accessTime,
                              std::int64_t& modifyTime) {
        (void)path, (void)accessTime, (void)modifyTime;
        return false;
    }
    virtual bool currentFolder(std::string& out) = 0;
    virtual bool setCurrentFolder(const std::string& path) = 0;
    // C run-time buffered file, mode as for fopen.
    virtual FilePtr openFile(const std::string& path, const char* mode) = 0;
};

// The implementation of the system the program runs on.
FileSystem& systemFileSystem();

// True for '\\' and '/', the separators the portable core accepts.
inline bool isSeparator(char c) {
    return c == '\\' || c == '/';
}
// Position of the last separator, or std::string::npos.
std::size_t lastSeparator(const std::string& path);
// A path as Windows compares it: either separator, any case, doubled separators and "." and
// ".." parts resolved. Two spellings of one path give the same text.
std::string comparablePath(const std::string& path);

}  // namespace platform
