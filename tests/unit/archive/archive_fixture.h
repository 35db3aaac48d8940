#pragma once
// Shared set-up of the archive tests: a scratch folder, recording sinks, a fresh display,
// and byte builders for hand-made (also hostile) packages.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "archive/archive_progress.h"
#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive/package_extractor.h"
#include "support/fakes.h"

namespace archive_test {

inline std::string le32(std::int64_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

inline std::string bytesOf(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

// Text-like bytes that differ with seed and position.
inline std::string letters(std::size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + seed + i / 13) % 26);
    return s;
}

// A compressed stream with escape 0 built token by token, with the output it must decode to.
struct ArpkStream {
    std::string tokens, expected;
    // Runs of 250 bytes, each followed by a marker byte, up to at least size bytes of output:
    // megabytes from a few input bytes each, and no two places alike for long.
    void fill(std::size_t size) {
        for (std::size_t i = 0; expected.size() < size; ++i) {
            char run = static_cast<char>(i * 37), marker = static_cast<char>(1 + i % 254);
            tokens += bytesOf({0, 255}) + run + marker;
            expected += std::string(250, run) + marker;
        }
    }
    // Bytes as they are, the escape escaped.
    void literal(const std::string& bytes) {
        for (char c : bytes) tokens += c == '\0' ? std::string(2, '\0') : std::string(1, c);
        expected += bytes;
    }
    // Runs, then letters, up to exactly size bytes of output.
    void upTo(std::size_t size) {
        if (size > expected.size() + 251) fill(size - 251);
        literal(letters(size - expected.size(), static_cast<unsigned>(expected.size())));
    }
    void copy(std::size_t src, std::size_t length) {  // code 9: four offset bytes, two length
        tokens += bytesOf({0, 9}) + le32(static_cast<std::int64_t>(src)) +
                  bytesOf({static_cast<int>(length & 0xFF), static_cast<int>(length >> 8)});
        expected += expected.substr(src, length);
    }
    std::string package() const {
        return "ARPK" + le32(static_cast<std::int64_t>(expected.size())) + '\0' + tokens;
    }
};

// The stream as literals only, with an escape byte the content lacks: a cut anywhere is a
// short stream, never a broken token, and the decoder reads the whole package in order.
inline std::string literalArpk(const std::string& content) {
    int escape = 0;
    while (escape < 256 && content.find(static_cast<char>(escape)) != std::string::npos) ++escape;
    EXPECT_LT(escape, 256);
    return "ARPK" + le32(static_cast<std::int64_t>(content.size())) +
           std::string(1, static_cast<char>(escape)) + content;
}

// errors.txt is written in text mode: a line ends in CR LF on Windows.
inline std::string textMode(std::string s) {
#ifdef _WIN32
    for (std::size_t at = 0; (at = s.find('\n', at)) != std::string::npos; at += 2)
        s.insert(at, 1, '\r');
#endif
    return s;
}

// An archive of one file per name, "new:" and the name its content (big, when given, that of
// the first), the names taken as they are: also those no package maker would write.
inline std::string rawArchive(const std::vector<std::string>& names, const std::string& big = "") {
    std::vector<std::string> data;
    std::int64_t offset = 12 + 20 * static_cast<std::int64_t>(names.size()), total = 0;
    for (const std::string& n : names) {
        offset += static_cast<std::int64_t>(n.size()) + 1;
        data.push_back(data.empty() && !big.empty() ? big : "new:" + n);
        total += static_cast<std::int64_t>(data.back().size());
    }
    std::string head = "KLIV" + le32(total) + le32(static_cast<std::int64_t>(names.size()));
    std::string tail;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::int64_t size = static_cast<std::int64_t>(data[i].size());
        head += le32(offset) + le32(size) + le32(static_cast<std::int64_t>(names[i].size()) + 1) +
                le32(100) + le32(200);
        offset += size;
        tail += data[i];
    }
    for (const std::string& n : names) head += n + std::string(1, '\0');
    return head + tail;
}

inline std::string archiveOf(const std::vector<ArchiveEntry>& entries) {
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
    return bytes;
}

inline std::string encoded(const std::string& content) {
    return encodeArpk(reinterpret_cast<const unsigned char*>(content.data()), content.size());
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
