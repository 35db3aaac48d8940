#pragma once
// File system access of the portable core. Paths are built with backslashes; the POSIX
// implementation also accepts slashes and finds a name regardless of case when the exact
// spelling is missing, so a disc copied from a CD keeps working.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

// What makes a file the same file under any of its names: the device and inode on POSIX, the
// volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0, index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open file; false when it is unknown (a stream without a descriptor).
bool identityOf(std::FILE* f, FileIdentity& out);

// Whole transfers at a position of an open file that is used only through these two: one
// system call each where the stream has a descriptor (the stream's own position and buffer
// are not used), a seek and a transfer where it has none. False on a short transfer.
bool readAt(std::FILE* f, std::int64_t offset, void* dst, std::size_t n);
bool writeAt(std::FILE* f, std::int64_t offset, const void* src, std::size_t n);

// How OutputFolder::createFile treats a file already under its name.
enum class CreateMode {
    Replace,     // truncated; the stream reads and writes, binary
    New,         // the call fails with errno EEXIST; the stream reads and writes, binary
    AppendText,  // kept and appended to, in text mode (CR LF line ends on Windows): a log
};

// A folder that packages are unpacked into. Names are relative to it, with either separator.
// No part of a name is ever followed through a link (a symbolic link, a junction or another
// reparse point, or under Wine a Unix link, which Windows calls see as a plain file): such a
// name fails, so nothing lands outside through a link already there.
class OutputFolder {
public:
    virtual ~OutputFolder() = default;
    // Creates the missing folders of name, then opens the file for writing as mode says. A
    // file is written only when this call creates it, or when the existing one is a plain file
    // of this folder with one name: the call fails without touching anything, errno ELOOP, when
    // a link or anything but a plain file (a device, a pipe, a hard-linked file) is in the way,
    // and errno EACCES when the file is one of keep. created, when given, receives the file's
    // identity.
    virtual FilePtr createFile(const std::string& name, CreateMode mode,
                               const std::vector<FileIdentity>& keep,
                               FileIdentity* created = nullptr) = 0;
    // The identity of an existing file reached without links (under Wine also the file a Unix
    // link leads to: what an entry of that name would reach); false when there is none.
    virtual bool identity(const std::string& name, FileIdentity& out) = 0;
    // The file of name, reached without links, opened for reading ("rb") if it is still the
    // file id; null otherwise.
    virtual FilePtr openExisting(const std::string& name, const FileIdentity& id) = 0;
    // Times in seconds since 1970-01-01 UTC, set without following a link.
    virtual bool setFileTimes(const std::string& name, std::int64_t accessTime,
                              std::int64_t modifyTime) = 0;
    // Deletes the file of name if it is still the file id, never what a link in its place
    // leads to; false when it is not deleted.
    virtual bool removeFile(const std::string& name, const FileIdentity& id) = 0;
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
    // An existing folder to unpack into; null when it cannot be used (or, as here, when the
    // file system offers none).
    virtual std::unique_ptr<OutputFolder> openOutputFolder(const std::string& path) {
        (void)path;
        return nullptr;
    }
    // Moves a file to a new name, replacing a file of that name.
    virtual bool renameFile(const std::string& from, const std::string& to) {
        (void)from, (void)to;
        return false;
    }
    // A regular file opened for reading ("rb"); null for a folder, a device, a pipe or
    // anything else that could block or never end. What a disc names is read only so.
    virtual FilePtr openRegularFile(const std::string& path);
    // A file the programs write besides the unpacked ones (a log, a report): created by
    // OutputFolder::createFile in the folder of path, so never written through a link; null,
    // errno as createFile leaves it, when it cannot be.
    FilePtr openPlainFile(const std::string& path, CreateMode mode);
};

// True when an open file is a regular file (not a device, pipe or folder).
bool isRegularStream(std::FILE* file);

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
// The parts of a name relative to a folder; false for an absolute name or for an empty, "."
// or ".." part (such a name could leave the folder).
bool splitRelativeName(const std::string& name, std::vector<std::string>& parts);

}  // namespace platform
