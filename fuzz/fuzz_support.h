#pragma once
// What the fuzz targets share: a fresh scratch folder per process and a file system that
// refuses every path outside it, so a hostile input can reach nothing else.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system.h"

namespace fuzzing {

// The scratch folder, with a trailing slash; created once per process.
const std::string& scratchFolder();
// Removes everything inside the scratch folder.
void clearScratch();
// Makes a folder inside the scratch folder the working directory, so that whatever is
// written relative to it (the unpacker's "errors.txt") stays inside too.
void enterScratchWorkingFolder();
// Removes one entry (file or folder tree) of the scratch folder.
void removeScratch(const std::string& name);
// Writes bytes to a file in the scratch folder and returns its path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Passes on calls for paths inside the scratch folder; anything else fails. Aborts the
// process if a write lands outside, which libFuzzer reports as a crash.
class ConfinedFileSystem : public platform::FileSystem {
public:
    bool exists(const std::string& p) override;
    bool isFolder(const std::string& p) override;
    std::unique_ptr<platform::FileFinder> findFirst(const std::string& p) override;
    bool createFolder(const std::string& p) override;
    bool removeFolder(const std::string& p) override;
    bool deleteFile(const std::string& p) override;
    bool setFileTimes(const std::string& p, std::int64_t a, std::int64_t m) override;
    bool getFileTimes(const std::string& p, std::int64_t& a, std::int64_t& m) override;
    bool currentFolder(std::string& out) override;
    bool setCurrentFolder(const std::string& p) override;
    platform::FilePtr openFile(const std::string& p, const char* mode) override;
    std::unique_ptr<platform::OutputFolder> openOutputFolder(const std::string& p) override;
    bool renameFile(const std::string& from, const std::string& to) override;

    bool inside(const std::string& p, bool writing);
};

// File system confined to the scratch folder, silent messages and progress, a still clock.
platform::System confinedSystem();

}  // namespace fuzzing
