#pragma once
// Shared set-up of the archive tests: a scratch folder, recording sinks, fresh module state,
// and byte builders for hand-made (also hostile) packages.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "archive/archive_progress.h"
#include "archive/archive_session.h"
#include "archive/package_extractor.h"
#include "support/fakes.h"

namespace archive_test {

inline std::string le32(std::int64_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

inline std::string record(std::int64_t offset, std::int64_t size, std::int64_t nameLength,
                          std::int64_t access = 0, std::int64_t modify = 0) {
    return le32(offset) + le32(size) + le32(nameLength) + le32(access) + le32(modify);
}

// One-file archive: "KLIV", total, 1, record, name with its zero byte, data.
inline std::string oneFileArchive(const std::string& name, const std::string& data,
                                  std::int64_t access = 1000000000,
                                  std::int64_t modify = 1200000000) {
    std::int64_t offset = 12 + 20 + static_cast<std::int64_t>(name.size()) + 1;
    return "KLIV" + le32(static_cast<std::int64_t>(data.size())) + le32(1) +
           record(offset, static_cast<std::int64_t>(data.size()),
                  static_cast<std::int64_t>(name.size()) + 1, access, modify) +
           name + std::string(1, '\0') + data;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        archiveSession().reset();
        archiveProgress().reset();
        startDir = std::filesystem::current_path();
        // The log of failures before the destination lands in the working directory.
        std::filesystem::create_directory(dir.path() / "cwd");
        std::filesystem::current_path(dir.path() / "cwd");
    }
    void TearDown() override { std::filesystem::current_path(startDir); }

    std::string path(const std::string& relative) const { return (dir.path() / relative).string(); }
    std::string out() const { return path("out"); }
    std::string writePackage(const std::string& bytes, const std::string& name = "pkg.apk") {
        return dir.write(name, bytes).string();
    }
    int extract(const std::string& bytes) {
        return extractPackage(writePackage(bytes), out(), fake.system());
    }
    std::string lastMessage() const {
        return fake.messages.messages.empty() ? "" : fake.messages.messages.back().text;
    }
    bool outExists(const std::string& relative) const {
        return std::filesystem::exists(dir.path() / "out" / relative);
    }
    std::string readOut(const std::string& relative) const {
        return testing_support::readFile(dir.path() / "out" / relative);
    }
    // Files and folders in the destination other than the log.
    int writtenCount() const;

    testing_support::ScratchDir dir;
    testing_support::FakeSystem fake;
    std::filesystem::path startDir;
};

inline int ArchiveTest::writtenCount() const {
    int n = 0;
    if (!std::filesystem::exists(dir.path() / "out")) return 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path() / "out"))
        if (e.path().filename() != "errors.txt") ++n;
    return n;
}

}  // namespace archive_test
