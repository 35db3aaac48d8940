#pragma once
// A file system that hands everything to another one but fails chosen operations: the faults
// of a disk, a folder or a file that a test cannot produce for real (as root, permission bits
// stop nothing).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace testing_support {

class FailingFileSystem : public platform::FileSystem {
public:
    explicit FailingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

    // Opening for writing fails under this folder ("" for none) ...
    std::string readOnlyFolder;
    // ... and for files of these names, compared without regard to case.
    std::vector<std::string> refusedNames;
    // Folders under this one cannot become the working directory.
    std::string unenterableFolder;
    // The working directory cannot be determined.
    bool currentFolderFails = false;

    // The disk that holds this folder ("" for none) takes freeBytes more bytes (-1: no limit).
    // Streams opened for writing on it are unbuffered, so a full disk shows at the write that
    // overflows it. POSIX counts every byte and may fill up at any moment; on Windows only a
    // stream opened while freeBytes is 0 refuses its writes.
    std::string diskFolder;
    std::int64_t freeBytes = -1;

    // Runs before a file is opened for reading, with the path as given.
    std::function<void(const std::string&)> beforeRead;

    bool exists(const std::string& p) override { return inner_.exists(p); }
    bool isFolder(const std::string& p) override { return inner_.isFolder(p); }
    std::unique_ptr<platform::FileFinder> findFirst(const std::string& pattern) override {
        return inner_.findFirst(pattern);
    }
    bool createFolder(const std::string& p) override { return inner_.createFolder(p); }
    bool removeFolder(const std::string& p) override { return inner_.removeFolder(p); }
    bool deleteFile(const std::string& p) override { return inner_.deleteFile(p); }
    bool setFileTimes(const std::string& p, std::int64_t a, std::int64_t m) override {
        return inner_.setFileTimes(p, a, m);
    }
    bool getFileTimes(const std::string& p, std::int64_t& a, std::int64_t& m) override {
        return inner_.getFileTimes(p, a, m);
    }
    bool currentFolder(std::string& out) override;
    bool setCurrentFolder(const std::string& p) override;
    platform::FilePtr openFile(const std::string& p, const char* mode) override;
    // Files created in it meet the same faults as those opened for writing by path.
    std::unique_ptr<platform::OutputFolder> openOutputFolder(const std::string& p) override;
    bool renameFile(const std::string& from, const std::string& to) override {
        return inner_.renameFile(from, to);
    }

    // True when path (relative ones from the working directory) is folder or lies below it.
    bool isUnder(const std::string& path, const std::string& folder);

    // True when a file opened for writing at path is refused (read-only folder, refused name).
    bool refusesWrite(const std::string& path);
    platform::FilePtr onDisk(platform::FilePtr f, const std::string& path, const char* mode);

private:
    platform::FileSystem& inner_;
};

}  // namespace testing_support
