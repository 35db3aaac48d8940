// Packages built to cost more than they hold: listing reads only the directory, decoding stops
// at the declared size, and records may not share their data.
#include <gtest/gtest.h>

#include <cstdio>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "archive/archive_writer.h"
#include "archive/arpk_decoder.h"
#include "archive/arpk_encoder.h"
#include "archive/package_lister.h"
#include "archive_fixture.h"

namespace {

using archive_test::archiveOf;
using archive_test::ArchiveTest;
using archive_test::bytesOf;
using archive_test::encoded;
using archive_test::le32;
using archive_test::record;
namespace fs = std::filesystem;

const int E = 0xFF;

std::string arpk(std::int64_t size, const std::string& tokens) {
    return "ARPK" + le32(size) + std::string(1, static_cast<char>(E)) + tokens;
}

// The header, directory and names of a one-file archive as literal tokens, declaring 1.5 GB of
// output, then a copy token that no decoder may accept: listing must stop before it.
std::string hugeDeclaredPackage() {
    std::string head = "KLIV" + le32(1500000000) + le32(1) + record(43, 1500000000, 11, 7, 8) +
                       std::string("big\\x.bin\0", 11);
    std::string tokens;
    for (char c : head) {
        tokens.push_back(c);
        if (static_cast<unsigned char>(c) == E) tokens.push_back(c);
    }
    return arpk(1500000043, tokens + bytesOf({E, 0, 200, 100}));
}

TEST_F(ArchiveTest, ListingReadsOnlyTheDirectory) {
    std::vector<ArchiveEntry> entries = {{"a.txt", std::string(5000, 'a'), 1, 2},
                                         {"sub\\b.bin", std::string(70000, 'b'), 3, 4},
                                         {"c", "", 5, 6}};
    std::string archive = archiveOf(entries);
    struct Case {
        const char* what;
        std::string bytes;
        bool compressed;
        std::vector<std::string> names;
    } cases[] = {
        {"plain", archive, false, {"a.txt", "sub\\b.bin", "c"}},
        {"compressed", encoded(archive), true, {"a.txt", "sub\\b.bin", "c"}},
        {"plain, data cut off",
         archive.substr(0, 12 + 60 + 18),
         false,
         {"a.txt", "sub\\b.bin", "c"}},
        {"1.5 GB declared, broken past the names", hugeDeclaredPackage(), true, {"big\\x.bin"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageListing listing;
        std::string message;
        std::string pkg = writePackage(c.bytes);
        ASSERT_EQ(listPackage(platform::systemFileSystem(), pkg, listing, message), 0) << message;
        EXPECT_EQ(listing.compressed, c.compressed);
        ASSERT_EQ(listing.entries.size(), c.names.size());
        for (std::size_t i = 0; i < c.names.size(); ++i)
            EXPECT_EQ(listing.entries[i].name, c.names[i]);
        if (c.names.size() == 3) {
            EXPECT_EQ(listing.totalSize, 75000);
            EXPECT_EQ(listing.entries[1].dataSize, 70000);
            EXPECT_EQ(listing.entries[1].accessTime, 3);
            EXPECT_EQ(listing.entries[1].modifyTime, 4);
        }
    }
    // Listing writes nothing: no log, no temporary file.
    EXPECT_TRUE(fs::is_empty(dir.path() / "cwd"));
}

TEST_F(ArchiveTest, ListingFailuresHaveTheUnpackersCodesAndMessages) {
    std::string archive = archiveOf({{"a.txt", "hello", 1, 2}});
    std::string pkg = path("pkg.apk");
    struct Case {
        const char* what;
        std::string bytes;
        int code;
        std::string message;
    } cases[] = {
        {"wrong magic", "KLIX" + archive.substr(4), -4, "Incorrect archive header"},
        {"no files", "KLIV" + le32(0) + le32(0), -4, "Invalid nr of files in archive"},
        {"directory cut", archive.substr(0, 20), -2, "i/o error in file " + pkg + "\n"},
        {"name unterminated", "KLIV" + le32(0) + le32(1) + record(40, 0, 3) + "abc", -4,
         "Invalid file name in archive: abc\n"},
        {"compressed, stream ends in the directory", arpk(1000, archive.substr(0, 20)), -2,
         "Incomplete archive!"},
        {"compressed, declared size ends in the directory", arpk(20, archive.substr(0, 20)), -2,
         "i/o error in file " + pkg + "\n"},
        {"compressed, past the declared size", arpk(10, archive.substr(0, 20)), -2,
         "Incomplete archive!"},
        {"compressed, copy from the future", arpk(1000, "KLIV" + bytesOf({E, 0, 10, 4})), -4,
         "Bad escape sequence in " + pkg},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PackageListing listing;
        std::string message;
        writePackage(c.bytes);
        EXPECT_EQ(listPackage(platform::systemFileSystem(), pkg, listing, message), c.code);
        EXPECT_EQ(message, c.message);
        EXPECT_TRUE(listing.entries.empty());
    }
    PackageListing listing;
    std::string message;
    EXPECT_EQ(listPackage(platform::systemFileSystem(), path("none.apk"), listing, message), -3);
    EXPECT_TRUE(fs::is_empty(dir.path() / "cwd"));
}

// Output past the declared size fails at its first byte: the temporary file never holds more
// than was declared.
TEST_F(ArchiveTest, DecodingStopsAtTheDeclaredSize) {
    struct Case {
        const char* what;
        std::int64_t declared;
        std::string tokens;
        std::size_t written;  // bytes the temporary file holds afterwards, at most
    } cases[] = {
        {"a run past the end", 5, bytesOf({E, 254, 'b'}), 0},
        {"a run after exact output", 3, "abc" + bytesOf({E, 10, 'b'}), 3},
        {"literals past the end", 3, "abcdef", 0},
        {"an escaped escape past the end", 2, "ab" + bytesOf({E, E}), 2},
        {"a negative declared size", -1, "a", 0},
        {"a huge stream behind a small size", 4, "abcd" + std::string(100000, 'z'), 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ArchiveContext context(fake.system());
        EXPECT_EQ(unpackArpk(writePackage(arpk(c.declared, c.tokens)), path("t.arh"), context), -2);
        EXPECT_EQ(context.error.message, "Incomplete archive!");
        EXPECT_LE(fs::file_size(path("t.arh")), c.written);
    }
}

// Records may not share data: an honest package stores each file's bytes once, so one region
// written a thousand times is refused before anything is written.
// What is named as a package but is no file is refused at once, by the unpacker and the
// lister alike: no wait for a writer that never comes, no endless reading.
TEST_F(ArchiveTest, PackagesThatAreNoFilesAreRefused) {
    fs::create_directory(dir.path() / "folder.apk");
    const std::string cases[] = {
        path("folder.apk"),
#ifndef _WIN32
        path("pipe.apk"),
        "/dev/zero",
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(path("pipe.apk").c_str(), 0600), 0);
#endif
    for (const std::string& package : cases) {
        fake.messages.messages.clear();
        EXPECT_EQ(extractPackage(package, out(), fake.system()), -3) << package;
        EXPECT_EQ(lastMessage(), "Can't read " + package + "\n");
        PackageListing listing;
        std::string message;
        EXPECT_EQ(listPackage(platform::systemFileSystem(), package, listing, message), -3);
        EXPECT_EQ(message, "Can't read " + package + "\n");
    }
}

TEST_F(ArchiveTest, RecordsThatShareDataAreRefused) {
    auto names = [](int n) {  // f0000, f0001 ...: six bytes each
        std::string s;
        for (int i = 0; i < n; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "f%04d", i);
            s.append(name, 6);
        }
        return s;
    };
    auto package = [&](std::vector<std::pair<std::int64_t, std::int64_t>> ranges) {
        // Offsets count from the first byte past the names; 100 data bytes follow them.
        std::int64_t base = 12 + 20 * static_cast<std::int64_t>(ranges.size()) +
                            6 * static_cast<std::int64_t>(ranges.size());
        std::string bytes = "KLIV" + le32(0) + le32(static_cast<std::int64_t>(ranges.size()));
        for (const auto& [offset, size] : ranges) bytes += record(base + offset, size, 6);
        return bytes + names(static_cast<int>(ranges.size())) + std::string(100, 'd');
    };
    std::vector<std::pair<std::int64_t, std::int64_t>> thousand(1024, {0, 100});
    struct Case {
        const char* what;
        std::string bytes;
        int result;
    } cases[] = {
        {"1024 records on one region", package(thousand), -4},
        {"the second starts inside the first", package({{0, 50}, {49, 10}}), -4},
        {"one inside another, listed first", package({{10, 5}, {0, 50}}), -4},
        {"back to back", package({{0, 50}, {50, 50}}), 0},
        {"empty files anywhere", package({{0, 100}, {10, 0}, {10, -3}}), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        fs::remove_all(out());
        EXPECT_EQ(extract(c.bytes), c.result);
        if (c.result != 0) {
            EXPECT_EQ(lastMessage().rfind("Overlapping file data in archive: f", 0), 0u)
                << lastMessage();
            EXPECT_EQ(writtenCount(), 0);
        }
    }
}

}  // namespace
