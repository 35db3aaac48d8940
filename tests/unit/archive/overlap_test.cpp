// Large compressed packages: the files are written while the package is decoded. Whichever
// side fails, one message is shown, logged where its pass would log it, and both stop; the
// temporary file goes and the working directory comes back.
#include <gtest/gtest.h>

#include <tuple>

#include "archive/arpk_format.h"
#include "archive/file_archive_format.h"
#include "archive_fixture.h"

namespace {

using archive_test::archiveOf;
using archive_test::ArchiveTest;
using archive_test::ArpkStream;
using archive_test::bytesOf;
using archive_test::encoded;
using archive_test::le32;
using archive_test::letters;
using archive_test::literalArpk;
using archive_test::record;
namespace fs = std::filesystem;

const std::vector<ArchiveEntry> ENTRIES = {{"a.txt", letters(700000, 1), 100, 200},
                                           {"d\\b.bin", letters(600000, 2), 300, 400},
                                           {"d\\empty", "", 500, 600}};

std::string slashed(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

enum class Log { None, Caller, Destination };

TEST(OverlapThreshold, TheTestPackagesAreLargeEnough) {
    EXPECT_GE(archiveOf(ENTRIES).size(), ARPK_OVERLAP_MIN);
}

TEST_F(ArchiveTest, LargePackageExtractedWhileDecoded) {
    const std::string archive = archiveOf(ENTRIES);
    const std::string temp = out() + "\\_temp.arh";
    // The data of d\b.bin, the last in the archive, reaching 1,000 bytes past its end.
    std::string pastEnd = archive;
    const std::size_t sizeOfB = FA_HEADER_SIZE + FA_RECORD_SIZE + 4;
    pastEnd.replace(sizeOfB, 4, le32(600000 + 1000));
    // Literals, then a copy from far beyond the output: the decoder fails at the very end,
    // after the extractor may have written every file.
    std::string badLastCopy = literalArpk(archive);
    const int escape = static_cast<unsigned char>(badLastCopy[8]);
    badLastCopy.replace(4, 4, le32(static_cast<std::int64_t>(archive.size()) + 1));
    // Code 9 (four offset bytes, two length bytes), or 4 (one length byte) if 9 is the escape.
    const int code = escape == 9 ? 4 : 9;
    badLastCopy +=
        bytesOf({escape, code}) + le32(0x7FFFFF00) + bytesOf({1, 0}).substr(0, code / 5 + 1);
    struct Row {
        const char* what;
        std::string package;
        std::string occupied;  // a folder in the destination where a file should go
        int code;
        std::string message;
        Log log;
    } rows[] = {
        {"whole", encoded(archive), "", 0, "", Log::None},
        {"cut late", literalArpk(archive).substr(0, archive.size() * 3 / 4), "", -2,
         "Incomplete archive!", Log::Caller},
        {"bad copy at the end", badLastCopy, "", -4, "Bad escape sequence in " + path("pkg.apk"),
         Log::Caller},
        {"not an archive", literalArpk(letters(1200000, 3)), "", -4, "Incorrect archive header",
         Log::Caller},
        {"an output file cannot be made", encoded(archive), "d/b.bin", -3,
         "Can't write " + out() + "\\d\\b.bin\n", Log::Destination},
        {"data past the end", literalArpk(pastEnd), "", -2, "i/o error in file " + temp + "\n",
         Log::Destination},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fake.messages.messages.clear();
        fake.progress.events.clear();
        fs::remove_all(dir.path() / "out");
        fs::remove(dir.path() / "cwd" / "errors.txt");
        if (!row.occupied.empty()) fs::create_directories(dir.path() / "out" / row.occupied);

        EXPECT_EQ(extract(row.package), row.code);
        ASSERT_EQ(fake.messages.messages.size(), row.message.empty() ? 0u : 1u);
        if (!row.message.empty()) {
            EXPECT_EQ(lastMessage(), row.message);
        }
        fs::path callerLog = dir.path() / "cwd" / "errors.txt";
        fs::path destLog = dir.path() / "out" / "errors.txt";
        EXPECT_EQ(fs::exists(callerLog), row.log == Log::Caller);
        EXPECT_EQ(fs::exists(destLog), row.log == Log::Destination);
        EXPECT_FALSE(outExists("_temp.arh"));
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
        EXPECT_FALSE(archiveProgress().isOpen());
        // Whatever was written is right as far as it goes; after success, whole.
        for (const ArchiveEntry& e : ENTRIES) {
            fs::path p = dir.path() / "out" / slashed(e.name);
            if (row.code != 0 && !fs::is_regular_file(p)) continue;
            std::string got = readOut(slashed(e.name));
            if (row.code != 0) got.resize(std::min(got.size(), e.data.size()));
            EXPECT_EQ(got, e.data.substr(0, row.code == 0 ? e.data.size() : got.size())) << e.name;
        }
    }
}

// Both passes show, in order, as when they run one after the other; the bar never goes back.
TEST_F(ArchiveTest, LargePackageProgressKeepsItsOrder) {
    const std::string archive = archiveOf(ENTRIES);
    fake.clock.step = ARCHIVE_REFRESH_MS;
    ASSERT_EQ(extract(encoded(archive)), 0);
    for (const ArchiveEntry& e : ENTRIES) {
        std::string name = slashed(e.name);
        std::int64_t access = 0, modify = 0;  // before a read moves the access time
        ASSERT_TRUE(platform::systemFileSystem().getFileTimes(out() + "/" + name, access, modify));
        EXPECT_EQ(access, e.accessTime);
        EXPECT_EQ(modify, e.modifyTime);
        EXPECT_EQ(readOut(name), e.data) << name;
    }
    std::vector<std::string> texts;
    int last = -1;
    for (const auto& ev : fake.progress.events) {
        if (ev.what == "text") texts.push_back(ev.text);
        if (ev.what == "pos") {
            EXPECT_GE(ev.a, last);
            last = ev.a;
        }
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Unpacking APK files...", "Processing APK files..."}));
    EXPECT_GE(last, 95);
}

// Copies from output older than the head cache and the window hold: read back from the files
// already written and from the bytes kept between them when the extractor reads along from
// memory, from the temporary file when the directory's order makes it read from there. The
// files keep their stored times though they were read.
TEST_F(ArchiveTest, OlderOutputIsReadBackWhereverTheExtractorReads) {
    constexpr std::size_t MB = 1u << 20;
    const std::size_t aStart = 4096, aEnd = 9 * MB, bStart = aEnd + 1000, bEnd = 15 * MB;
    const std::string recordA = record(aStart, aEnd - aStart, 6, 111111, 222222);
    const std::string recordB = record(bStart, bEnd - bStart, 8, 333333, 444444);
    const std::string nameA = std::string("a.bin", 6), nameB = std::string("d\\b.bin", 8);
    struct Row {
        const char* what;
        std::string directory;
    } rows[] = {
        {"files in the directory's order", recordA + recordB + nameA + nameB},
        {"directory in reverse", recordB + recordA + nameB + nameA},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir.path() / "out");
        ArpkStream s;
        s.literal("KLIV" + le32((aEnd - aStart) + (bEnd - bStart)) + le32(2) + row.directory);
        s.upTo(aEnd);
        s.upTo(bEnd - 10000);
        s.copy(8 * MB + MB / 2, 5000);  // from a.bin, written and closed
        s.copy(aEnd + 100, 600);        // from the bytes between the files
        s.copy(aEnd - 100, 300);        // from a.bin's end on into them
        s.copy(bStart + 2000, 700);     // from b.bin, being written
        s.upTo(bEnd);
        ASSERT_EQ(extract(s.package()), 0) << lastMessage();
        for (auto [name, access, modify] :
             {std::tuple{"a.bin", 111111, 222222}, std::tuple{"d/b.bin", 333333, 444444}}) {
            std::int64_t a = 0, m = 0;
            ASSERT_TRUE(platform::systemFileSystem().getFileTimes(out() + "/" + name, a, m));
            EXPECT_EQ(a, access) << name;
            EXPECT_EQ(m, modify) << name;
        }
        EXPECT_TRUE(readOut("a.bin") == s.expected.substr(aStart, aEnd - aStart));
        EXPECT_TRUE(readOut("d/b.bin") == s.expected.substr(bStart, bEnd - bStart));
        EXPECT_FALSE(outExists("_temp.arh"));
    }
}

}  // namespace
