// Extraction of plain FileArchive packages: layout, folders, times, every failure row, and
// names that would leave the destination.
#include <gtest/gtest.h>

#include "archive/archive_writer.h"
#include "archive/file_archive_format.h"
#include "archive/name_clash.h"
#include "archive/package_lister.h"
#include "archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::le32;
using archive_test::oneFileArchive;
using archive_test::record;
namespace fs = std::filesystem;

std::string twoFileArchive() {
    std::vector<ArchiveEntry> entries = {{"first.txt", "one", 10, 20},
                                         {"sub\\second.bin", std::string(70000, 'x'), 30, 40}};
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
    return bytes;
}

TEST_F(ArchiveTest, WorkedExampleExtractsOneFileWithItsTimes) {
    std::string bytes = oneFileArchive("a.txt", "hello", 1000000000, 1200000000);
    ASSERT_EQ(bytes.size(), 43u);
    EXPECT_EQ(extract(bytes), 0);
    // Times first: reading the file may move its access time.
    std::int64_t access = 0, modify = 0;
    ASSERT_TRUE(platform::systemFileSystem().getFileTimes(out() + "/a.txt", access, modify));
    EXPECT_EQ(access, 1000000000);
    EXPECT_EQ(modify, 1200000000);
    EXPECT_EQ(readOut("a.txt"), "hello");
    EXPECT_TRUE(fake.messages.messages.empty());
    EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
}

TEST_F(ArchiveTest, EmptyAndNegativeSizesGiveEmptyFilesWithTimes) {
    // The times are signed: -1 is the last second of 1969, not a date after 2038.
    const struct { std::int64_t size, access, modify; } cases[] = {{0, 111, 222}, {-5, -1, -86400}};
    for (const auto& c : cases) {
        std::string bytes = "KLIV" + le32(0) + le32(1) + record(38, c.size, 6, c.access, c.modify) +
                            std::string("e.txt\0", 6);
        EXPECT_EQ(extract(bytes), 0) << c.size;
        std::int64_t access = 0, modify = 0;
        ASSERT_TRUE(platform::systemFileSystem().getFileTimes(out() + "/e.txt", access, modify));
        EXPECT_EQ(access, c.access) << c.size;
        EXPECT_EQ(modify, c.modify) << c.size;
        EXPECT_EQ(readOut("e.txt"), "");
    }
}

TEST_F(ArchiveTest, NamesCreateTheirFoldersAndOverwrite) {
    dir.write("out/a/b/c.txt", "old content that is longer");
    EXPECT_EQ(extract(oneFileArchive("a\\b\\c.txt", "new")), 0);
    EXPECT_EQ(readOut("a/b/c.txt"), "new");
}

TEST_F(ArchiveTest, TrailingSeparatorOfDestinationMakesNoDifference) {
    std::string pkg = writePackage(oneFileArchive("x.txt", "data"));
    EXPECT_EQ(extractPackage(pkg, out() + "\\", fake.system()), 0);
    EXPECT_EQ(readOut("x.txt"), "data");
    fs::remove(dir.path() / "out" / "x.txt");
    EXPECT_EQ(extractPackage(pkg, out(), fake.system()), 0);
    EXPECT_EQ(readOut("x.txt"), "data");
}

TEST_F(ArchiveTest, RelativeDestinationIsTakenFromTheCallersFolder) {
    std::string pkg = writePackage(oneFileArchive("r.txt", "rel"));
    EXPECT_EQ(extractPackage(pkg, "here", fake.system()), 0);
    EXPECT_EQ(testing_support::readFile(dir.path() / "cwd" / "here" / "r.txt"), "rel");
}

TEST_F(ArchiveTest, FileCountBounds) {
    struct Case {
        int count;
        int result;
    } cases[] = {{0, -4}, {1025, -4}, {-1, -4}, {1, 0}, {1024, 0}};
    for (const Case& c : cases) {
        fake.messages.messages.clear();
        std::string bytes;
        if (c.result == 0) {
            std::vector<ArchiveEntry> entries;
            for (int i = 0; i < c.count; ++i)
                entries.push_back({"f" + std::to_string(i), std::to_string(i), 0, 0});
            std::string error;
            ASSERT_TRUE(buildFileArchive(entries, bytes, error));
        } else {
            bytes = "KLIV" + le32(0) + le32(c.count) + std::string(64, '\0');
        }
        EXPECT_EQ(extract(bytes), c.result) << c.count;
        if (c.result != 0)
            EXPECT_EQ(lastMessage(), "Invalid nr of files in archive");
        else
            EXPECT_EQ(readOut("f" + std::to_string(c.count - 1)), std::to_string(c.count - 1));
    }
}

TEST_F(ArchiveTest, MissingPackageCannotBeRead) {
    std::string missing = path("none.apk");
    EXPECT_EQ(extractPackage(missing, out(), fake.system()), -3);
    EXPECT_EQ(lastMessage(), "Can't read " + missing + "\n");
}

TEST_F(ArchiveTest, OutputThatCannotBeCreated) {
    fs::create_directories(dir.path() / "out" / "a.txt");  // a folder where the file goes
    EXPECT_EQ(extract(oneFileArchive("a.txt", "hello")), -3);
    EXPECT_EQ(lastMessage(), "Can't write " + out() + "\\a.txt\n");
}

// A UTF-8 destination and a code-page entry name make one UTF-8 message, not a mix.
TEST_F(ArchiveTest, MessageJoinsUtf8DestinationAndAnsiNameInUtf8) {
    std::string dest = (dir.path() / "Загрузки").string();
    fs::create_directories(dir.path() / "Загрузки" / "caf\xe9.txt");
    std::string pkg = writePackage(oneFileArchive("caf\xe9.txt", "hello"));
    EXPECT_EQ(extractPackage(pkg, dest, fake.system()), -3);
    EXPECT_EQ(lastMessage(), "Can't write " + dest + "\\caf\xc3\xa9.txt\n");
}

TEST_F(ArchiveTest, DestinationThatCannotBeEntered) {
    dir.write("out", "a file, not a folder");
    EXPECT_EQ(extract(oneFileArchive("a.txt", "hello")), -2);
    EXPECT_EQ(lastMessage(), "Could not access subdirectory " + out() + "\\");
}

TEST_F(ArchiveTest, CutAtEveryLengthFailsCleanly) {
    std::string bytes = twoFileArchive();
    std::size_t dataStart = bytes.size() - 70003;
    for (std::size_t n = 0; n < bytes.size(); n += (n < dataStart + 16 ? 1 : 4099)) {
        fake.messages.messages.clear();
        int r = extract(bytes.substr(0, n));
        EXPECT_LT(r, 0) << n;
        EXPECT_EQ(fake.messages.messages.size(), 1u) << n;
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd") << n;
    }
    fake.messages.messages.clear();
    EXPECT_EQ(extract(bytes), 0);
    EXPECT_EQ(readOut("sub/second.bin"), std::string(70000, 'x'));
}

TEST_F(ArchiveTest, ProgressRunsFrom66AndClosesAtTheEnd) {
    EXPECT_EQ(extract(twoFileArchive()), 0);
    const auto& ev = fake.progress.events;
    ASSERT_GE(ev.size(), 3u);
    EXPECT_EQ(ev[0].what, "open");
    EXPECT_EQ(ev[1].what, "text");
    EXPECT_EQ(ev[1].text, "Processing APK files...");
    EXPECT_EQ(ev[1].b, 100);
    EXPECT_EQ(ev[2].what, "pos");
    EXPECT_EQ(ev[2].a, 66);  // 3 bytes of 70003 written
    EXPECT_EQ(ev.back().what, "close");
}

// Names that would place a file outside the destination, or that Windows cannot create, are
// refused before anything is written, even when a harmless file comes first; the lister
// refuses them alike.
TEST_F(ArchiveTest, HostileNamesWriteNothing) {
    struct Case {
        std::string nameBytes;  // exactly the nameLength bytes
        std::string message;
    } cases[] = {
        {std::string("\0", 1), "Empty file name in archive\n"},
        {std::string("\\abs.txt\0", 9), "Invalid file name in archive: \\abs.txt\n"},
        {std::string("/abs.txt\0", 9), "Invalid file name in archive: /abs.txt\n"},
        {std::string("C:\\x.txt\0", 9), "Invalid file name in archive: C:\\x.txt\n"},
        {std::string("c:x.txt\0", 8), "Invalid file name in archive: c:x.txt\n"},
        {std::string("a.txt:stream\0", 13), "Invalid file name in archive: a.txt:stream\n"},
        {std::string("\\\\server\\share\\x\0", 17),
         "Invalid file name in archive: \\\\server\\share\\x\n"},
        {std::string("\\\\?\\C:\\x\0", 9), "Invalid file name in archive: \\\\?\\C:\\x\n"},
        {std::string("..\\x\0", 5), "Invalid file name in archive: ..\\x\n"},
        {std::string("a\\..\\..\\x\0", 10), "Invalid file name in archive: a\\..\\..\\x\n"},
        {std::string("a/../../x\0", 10), "Invalid file name in archive: a/../../x\n"},
        {std::string("..\0", 3), "Invalid file name in archive: ..\n"},
        {std::string(".. \\x\0", 6), "Invalid file name in archive: .. \\x\n"},
        {std::string("...\\x\0", 6), "Invalid file name in archive: ...\\x\n"},
        {std::string("a\\\\b\0", 5), "Invalid file name in archive: a\\\\b\n"},
        {std::string("dir\\\0", 5), "Invalid file name in archive: dir\\\n"},
        {std::string("CON\0", 4), "Invalid file name in archive: CON\n"},
        {std::string("sub\\nul.txt\0", 12), "Invalid file name in archive: sub\\nul.txt\n"},
        {std::string("Com1\0", 5), "Invalid file name in archive: Com1\n"},
        {std::string("lpt9.dat\0", 9), "Invalid file name in archive: lpt9.dat\n"},
        {std::string("AUX .txt\0", 9), "Invalid file name in archive: AUX .txt\n"},
        {std::string("COM\xB9\0", 5), "Invalid file name in archive: COM\xB9\n"},
        {std::string("lpt\xB2.txt\0", 9), "Invalid file name in archive: lpt\xB2.txt\n"},
        {std::string("a\\Com\xB3 .x\0", 10), "Invalid file name in archive: a\\Com\xB3 .x\n"},
        {std::string("what?\0", 6), "Invalid file name in archive: what?\n"},
        {std::string("a*.txt\0", 7), "Invalid file name in archive: a*.txt\n"},
        {std::string("<x>|\"y\"\0", 8), "Invalid file name in archive: <x>|\"y\"\n"},
        // Control bytes are refused, and shown (and logged) escaped.
        {std::string("tab\there\0", 9), "Invalid file name in archive: tab\\x09here\n"},
        {std::string("\x1B[2J\r\n\0", 7), "Invalid file name in archive: \\x1B[2J\\x0D\\x0A\n"},
        {std::string("noend", 5), "Invalid file name in archive: noend\n"},
        {std::string(513, 'n'), "File name too long in archive\n"},
    };
    for (const Case& c : cases) {
        fake.messages.messages.clear();
        fs::remove_all(dir.path() / "out");
        std::int64_t nameLength = static_cast<std::int64_t>(c.nameBytes.size());
        std::int64_t dataStart = 12 + 40 + 6 + nameLength;
        std::string bytes = "KLIV" + le32(10) + le32(2) + record(dataStart, 5, 6) +
                            record(dataStart + 5, 5, nameLength) + std::string("ok.tx\0", 6) +
                            c.nameBytes + "hello" + "world";
        EXPECT_EQ(extract(bytes), -4) << c.message;
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(writtenCount(), 0) << c.message;
        EXPECT_EQ(readOut("errors.txt"), archive_test::textMode(c.message));
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
        PackageListing listing;
        std::string message;
        EXPECT_EQ(listPackage(platform::systemFileSystem(), path("pkg.apk"), listing, message), -4);
        EXPECT_EQ(message, c.message);
    }
}

TEST_F(ArchiveTest, BadNameLengthsAreRefused) {
    struct Case {
        std::int64_t nameLength;
        std::string message;
    } cases[] = {{0, "Empty file name in archive\n"},
                 {-1, "Empty file name in archive\n"},
                 {513, "File name too long in archive\n"},
                 {0x7FFFFFFF, "File name too long in archive\n"}};
    for (const Case& c : cases) {
        fake.messages.messages.clear();
        std::string bytes = "KLIV" + le32(0) + le32(1) + record(40, 0, c.nameLength) + "x";
        EXPECT_EQ(extract(bytes), -4) << c.nameLength;
        EXPECT_EQ(lastMessage(), c.message);
    }
}

TEST(EntryNames, SafeNamesAndLengthLimit) {
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {{"a..b.txt", true}, {"console.txt", true},  {"com10", true},
                 {"...a", true},     {"a b\\c.d", true},     {"nul", false},
                 {"a\\.\\b", false}, {" ", false},           {"conin$", false},
                 {"COM\xB4", true},  {"COM\xB9x", true},     {"\x7F~!#$%&'()+,;=@[]^`{}", true},
                 {"a\x01", false},   {"sub\\LPT\xB9", false}};
    for (const Case& c : cases) EXPECT_EQ(isSafeEntryName(c.name), c.safe) << c.name;

    std::string name;
    std::string longest(511, 'n');
    longest.push_back('\0');
    EXPECT_EQ(extractEntryName(reinterpret_cast<const unsigned char*>(longest.data()), 512, name),
              NameCheck::Ok);
    EXPECT_EQ(name.size(), 511u);
    std::string zeroInside("ab\0cd", 5);
    EXPECT_EQ(extractEntryName(reinterpret_cast<const unsigned char*>(zeroInside.data()), 5, name),
              NameCheck::Ok);
    EXPECT_EQ(name, "ab");
}

// The one rule of names Windows takes for one file, shared by the unpacker, the lister and
// setuptool pack: the first two such names, or none.
TEST(EntryNames, NamesWindowsFoldsIntoOne) {
    const std::size_t none = SIZE_MAX;
    struct Case {
        std::vector<std::string> names;
        std::size_t first, second;
    } cases[] = {
        {{"A.TXT", "b.txt", "a.txt"}, 0, 2},
        {{"\xC9t\xE9.txt", "\xE9T\xC9.TXT"}, 0, 1},  // accented letters of the Western page
        {{"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"}, 0, 1},
        {{"\xD7.txt", "\xF7.txt"}, none, none},  // the multiplication and division signs
        {{"x.txt", "x.txt."}, 0, 1},
        {{"x.txt", "x.txt  "}, 0, 1},
        {{"dir. \\a", "DIR/a"}, 0, 1},
        {{"a", "A\\b"}, 0, 1},
        {{"a\\b\\c", "A\\B"}, 0, 1},
        {{"a\\x", "A\\y", "a\\X"}, 0, 2},
        {{"longfilename.txt", "LONGFI~1.TXT"}, 0, 1},
        {{"LONGFI~2.TXT", "longfilename.txt"}, 0, 1},
        {{"longfilename.txt", "long~k3j.txt"}, 0, 1},  // as Wine makes them
        {{"longfilename.txt", "LO1A2B~1.TXT"}, 0, 1},  // Windows, from the fifth alike name
        {{"long name.text", "LONGNA~1.TEX"}, 0, 1},
        {{"longfilename.txt", "LONGFI~1.DOC"}, none, none},
        {{"longfilename.txt", "LONGXX~1.TXT"}, none, none},
        {{"short.txt", "SHORT~1.TXT"}, none, none},  // an 8.3 name has no alias
        {{"Long Folder\\a.txt", "LONGFO~1\\A.TXT"}, 0, 1},
        {{"Long Folder\\a.txt", "LONGFO~1\\b.txt"}, none, none},
        {{"a~1.txt", "b~1.txt", "c.txt"}, none, none},
    };
    for (const Case& c : cases) {
        std::size_t first = none, second = none;
        bool clash = findNameClash(c.names, first, second);
        EXPECT_EQ(clash, c.first != none) << c.names[0] << " / " << c.names[1];
        EXPECT_EQ(first, c.first) << c.names[0] << " / " << c.names[1];
        EXPECT_EQ(second, c.second) << c.names[0] << " / " << c.names[1];
    }
}

}  // namespace
