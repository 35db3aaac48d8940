#pragma once
// A file system that knows only which paths exist; everything else fails.
#include <set>
#include <string>

#include "platform/file_system.h"

namespace testing_support {

class PathSetFileSystem : public platform::FileSystem {
public:
    std::set<std::string> paths;
    std::set<std::string> deleted;

    bool exists(const std::string& p) override { return paths.count(p) != 0; }
    bool isFolder(const std::string&) override { return false; }
    std::unique_ptr<platform::FileFinder> findFirst(const std::string&) override { return nullptr; }
    bool createFolder(const std::string&) override { return false; }
    bool removeFolder(const std::string&) override { return false; }
    bool deleteFile(const std::string& p) override {
        if (!paths.erase(p)) return false;
        deleted.insert(p);
        return true;
    }
    bool setFileTimes(const std::string&, std::int64_t, std::int64_t) override { return false; }
    bool currentFolder(std::string&) override { return false; }
    bool setCurrentFolder(const std::string&) override { return false; }
    platform::FilePtr openFile(const std::string&, const char*) override { return nullptr; }
};

}  // namespace testing_support
