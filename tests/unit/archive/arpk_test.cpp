// Decoding of compressed packages: every token, the bounds of copies, the end of input, the
// failure rows, and the temporary file.
#include <gtest/gtest.h>

#include "archive/archive_writer.h"
#include "archive/arpk_decoder.h"
#include "archive/arpk_encoder.h"
#include "archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::ArpkStream;
using archive_test::bytesOf;
using archive_test::le32;
using archive_test::letters;
using archive_test::oneFileArchive;
namespace fs = std::filesystem;

std::string arpk(std::int64_t size, int escape, const std::string& tokens) {
    return "ARPK" + le32(size) + std::string(1, static_cast<char>(escape)) + tokens;
}

class ArpkTest : public ArchiveTest {
protected:
    // Runs the decoder alone, as extractPackage would, and returns the temporary file. The
    // decoder shows nothing: its failure is in context.
    int decode(const std::string& package, std::string& output) {
        context = ArchiveContext(fake.system());
        std::string pkg = writePackage(package);
        int r = unpackArpk(pkg, path("temp.arh"), context);
        output = testing_support::readFile(dir.path() / "temp.arh");
        EXPECT_TRUE(fake.messages.messages.empty()) << lastMessage();
        EXPECT_EQ(context.error.code, r);
        return r;
    }
    ArchiveContext context{fake.system()};
};

TEST_F(ArpkTest, TokensDecode) {
    const int E = 0xFF;
    std::string seven = "0123456";
    struct Case {
        const char* what;
        std::int64_t size;
        int escape;
        std::string tokens, expected;
    } cases[] = {
        {"escaped escape", 1, E, bytesOf({E, E}), bytesOf({E})},
        {"shortest run", 5, E, bytesOf({E, 10, 'b'}), "bbbbb"},
        {"longest run", 250, 0xFE, bytesOf({0xFE, 255, 'b'}), std::string(250, 'b')},
        {"255 is the escape itself", 1, E, bytesOf({E, 255}), bytesOf({E})},
        {"run of the escape", 6, 0x41, bytesOf({0x41, 11, 0x41}), "AAAAAA"},
        {"copy inside", 11, E, seven + bytesOf({E, 0, 3, 4}), seven + "3456"},
        {"code 1 like 0", 11, E, seven + bytesOf({E, 1, 3, 4}), seven + "3456"},
        {"two-byte length", 9, E, seven + bytesOf({E, 5, 0, 2, 0}), seven + "01"},
        {"four-byte offset", 9, E, seven + bytesOf({E, 4, 5, 0, 0, 0, 2}), seven + "56"},
        {"zero-length copy", 7, E, seven + bytesOf({E, 2, 7, 0, 0}), seven},
        {"worked example", 12, E,
         bytesOf({0x61, 0x62, 0x63, E, 0x0A, 0x78, E, 0x00, 0x00, 0x03, E, E}),
         bytesOf({0x61, 0x62, 0x63, 0x78, 0x78, 0x78, 0x78, 0x78, 0x61, 0x62, 0x63, 0xFF})},
        {"ends after an escape", 2, E, bytesOf({'x', 'y', E}), "xy"},
        {"escape 0 at the end", 2, 0, bytesOf({'a', 0}), std::string("a\0", 2)},
        {"escape 0 ends normally", 2, 0, "ab", "ab"},
        {"nothing", 0, E, "", ""},
        // Tokens with input after them are read whole from the buffer.
        {"codes 9 and 4 with input after", 20, E,
         seven + bytesOf({E, 9, 1, 0, 0, 0, 3, 0, E, 4, 0, 0, 0, 0, 2}) + "abcdefgh",
         seven + "123" + "01" + "abcdefgh"},
        {"escape 3 escaped, input after", 9, 3, bytesOf({3, 3}) + "abcdefgh",
         bytesOf({3}) + "abcdefgh"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(decode(arpk(c.size, c.escape, c.tokens), output), 0)
            << c.what << ": " << context.error.message;
        EXPECT_EQ(output, c.expected) << c.what;
    }
}

// Copies are served from the head cache (first 8 MiB) or the window of recent output (last
// 4 MiB, less 32 bytes for a short copy); only a source in neither is read back from the
// temporary file.
TEST_F(ArpkTest, CopiesReadBackOnlyWhatNeitherMemoryHolds) {
    constexpr std::size_t HEAD = 8u << 20, WINDOW = 4u << 20, BUFFER = 32768;
    ArpkStream base;
    base.fill(13u << 20);
    const std::size_t end = base.expected.size();
    struct Case {
        const char* what;
        std::size_t src, length;
        std::int64_t readsBack;
    } cases[] = {
        {"from the head", 1000, 5000, 0},
        {"ending at the head's end", HEAD - 100, 100, 0},
        {"from the window", end - (1u << 20), 3000, 0},
        {"from bytes not yet written", end - 20, 20, 0},
        {"the oldest the window can give", end + 300 - WINDOW, 300, 0},
        {"one byte older", end + 299 - WINDOW, 300, 1},
        {"short: the oldest the window can give", end + 32 - WINDOW, 10, 0},
        {"short: one byte older", end + 31 - WINDOW, 10, 1},
        {"short, from the head's last bytes", HEAD - 10, 10, 0},
        {"across the head's end", HEAD - 10, 100, 1},
        {"between head and window", 9u << 20, 1000, 1},
        {"longer than the buffer, between them", 9u << 20, 3 * BUFFER / 2, 2},
        {"longer than the buffer, from the window", end - 60000, 60000, 0},
    };
    for (const Case& c : cases) {
        ArpkStream s = base;
        s.copy(c.src, c.length);
        std::string output;
        ASSERT_EQ(decode(s.package(), output), 0) << c.what << ": " << context.error.message;
        EXPECT_TRUE(output == s.expected) << c.what << ": output differs";
        EXPECT_EQ(context.stats.readsBack, c.readsBack) << c.what;
    }
}

// Short copies and literal runs move a fixed width at once, into slots past their bytes: every
// distance from 1 up to past that width, and literal runs of every length up to it, next to
// the ring's end (12 MiB is a multiple of the window; one copy's source crosses it) and in
// the head cache.
TEST_F(ArpkTest, ShortCopiesAndLiteralsAtEveryDistance) {
    constexpr std::size_t RING_END = 12u << 20;
    struct Case {
        const char* what;
        std::size_t start, longRun;
    } cases[] = {
        {"in the head cache", 1u << 20, 0},
        {"from the window", RING_END - 300000, 0},
        {"across the ring's end", RING_END - 300, 0},
        {"a long literal run across the ring's end", RING_END - 2000, 5000},
    };
    for (const Case& c : cases) {
        // Runs up to just before the start, letters (never the escape 0) up to it.
        ArpkStream s;
        s.fill(c.start - 251);
        const std::string pad = letters(c.start - s.expected.size(), 3);
        s.tokens += pad;
        s.expected += pad;
        const std::string run = letters(c.longRun, 5);
        s.tokens += run;
        s.expected += run;
        for (std::size_t d = 1; d <= 40; ++d) {
            const std::string lit = letters(d, static_cast<unsigned>(d));
            s.tokens += lit;
            s.expected += lit;
            s.copy(s.expected.size() - d, std::min<std::size_t>(d, 33));
            s.copy(s.expected.size() - 3 * d, std::min<std::size_t>(2 * d, 33));
        }
        std::string output;
        ASSERT_EQ(decode(s.package(), output), 0) << c.what << ": " << context.error.message;
        EXPECT_TRUE(output == s.expected) << c.what << ": output differs";
    }
}

TEST_F(ArpkTest, FailuresHaveTheirCodeAndMessage) {
    const int E = 0xFF;
    std::string pkg = path("pkg.apk");
    std::string seven = "0123456";
    struct Case {
        const char* what;
        std::string package;
        int result;
        std::string message;
    } cases[] = {
        {"copy from the current position", arpk(10, E, seven.substr(0, 6) + bytesOf({E, 0, 3, 4})),
         -4, "Bad escape sequence in " + pkg},
        {"copy past the declared size", arpk(10, E, seven + bytesOf({E, 0, 0, 4})), -4,
         "Bad escape sequence in " + pkg},
        {"negative offset", arpk(8, E, seven + bytesOf({E, 4, 0xFF, 0xFF, 0xFF, 0xFF, 1})), -2,
         "Seek error in " + pkg},
        {"copy from the current position, input after",
         arpk(20, E, seven.substr(0, 6) + bytesOf({E, 0, 3, 4}) + "abcdefgh"), -4,
         "Bad escape sequence in " + pkg},
        {"copy past the declared size, input after",
         arpk(10, E, seven + bytesOf({E, 0, 0, 4}) + "abcdefgh"), -4,
         "Bad escape sequence in " + pkg},
        {"negative offset, input after",
         arpk(8, E, seven + bytesOf({E, 4, 0xFF, 0xFF, 0xFF, 0xFF, 1}) + "abcdefgh"), -2,
         "Seek error in " + pkg},
        {"one byte short", arpk(6, E, "abcde"), -2, "Incomplete archive!"},
        {"one byte over", arpk(4, E, "abcde"), -2, "Incomplete archive!"},
        {"negative size", arpk(-1, E, "a"), -2, "Incomplete archive!"},
        {"wrong magic", "ARPX" + le32(1) + "\xFF" + "a", -4, "Not a valid archive: " + pkg + "\n"},
        {"only the magic's start", "AR", -4, "Not a valid archive: " + pkg + "\n"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(decode(c.package, output), c.result) << c.what;
        EXPECT_EQ(context.error.message, c.message) << c.what;
        EXPECT_FALSE(context.error.inDestination) << c.what;
        EXPECT_FALSE(archiveProgress().isOpen());
    }
}

TEST_F(ArpkTest, FilesThatCannotBeOpened) {
    std::string missing = path("none.apk"), tempInNoFolder = path("no/such/temp.arh");
    ArchiveContext noTemp(fake.system()), noPackage(fake.system());
    EXPECT_EQ(unpackArpk(writePackage(arpk(0, 1, "")), tempInNoFolder, noTemp), -3);
    EXPECT_EQ(noTemp.error.message, "Can't write " + tempInNoFolder + "\n");
    EXPECT_EQ(unpackArpk(missing, path("t.arh"), noPackage), -3);
    EXPECT_EQ(noPackage.error.message, "Can't read " + missing + "\n");
    EXPECT_TRUE(fake.messages.messages.empty());
}

// Copies longer than the 32,768-byte buffer, and copies that do not fit behind the bytes
// already waiting, must still append exactly their length.
TEST_F(ArpkTest, LongCopiesAppendExactlyTheirLength) {
    const int E = 0xFF;
    struct Case {
        std::size_t literals;
        std::uint32_t offset, length;
    } cases[] = {
        {40100, 50, 40000},   // longer than the buffer
        {40100, 1, 30000},    // behind waiting bytes, source already written
        {32868, 0, 32718},    // source written out, 100 bytes waiting
        {70000, 100, 65535},  // the largest length
        {33000, 32760, 16},   // source straddles the written-out part and the buffer
    };
    for (const Case& c : cases) {
        std::string text = letters(c.literals, c.offset);
        std::string tokens =
            text + bytesOf({E, 9}) + le32(c.offset) +
            bytesOf({static_cast<int>(c.length & 0xFF), static_cast<int>(c.length >> 8)});
        std::string expected = text + text.substr(c.offset, c.length);
        std::string output;
        EXPECT_EQ(decode(arpk(static_cast<std::int64_t>(expected.size()), E, tokens), output), 0)
            << c.literals << " " << c.length << ": " << context.error.message;
        EXPECT_TRUE(output == expected) << c.literals << " " << c.length;
    }
}

TEST_F(ArpkTest, HugeDeclaredSizeInFrontOfATinyStream) {
    std::string output;
    EXPECT_EQ(decode(arpk(0x7FFFFFFF, 0xFF, "tiny"), output), -2);
    EXPECT_EQ(context.error.message, "Incomplete archive!");
    EXPECT_EQ(output, "tiny");
}

TEST_F(ArpkTest, ProgressFillsTwoThirds) {
    std::string text = letters(100000, 3);
    std::string output;
    ASSERT_EQ(decode(arpk(100000, 0xFF, text), output), 0);
    const auto& ev = fake.progress.events;
    ASSERT_GE(ev.size(), 4u);
    EXPECT_EQ(ev[0].what, "open");
    EXPECT_EQ(ev[1].text, "Unpacking APK files...");
    EXPECT_EQ(ev[1].b, 100);
    EXPECT_EQ(ev[2].what, "pos");
    EXPECT_EQ(ev[2].a, 0);
    EXPECT_EQ(ev.back().what, "close");
}

// extractPackage with a compressed package: decoded into _temp.arh in the destination,
// extracted from there, and the temporary file is gone afterwards whatever happened.
TEST_F(ArpkTest, CompressedPackageGoesThroughTheTemporaryFile) {
    std::string archive = oneFileArchive("a.txt", "hello");
    std::string good =
        encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()), archive.size());
    std::string badArchive = "KLIX" + archive.substr(4);
    struct Case {
        const char* what;
        std::string package;
        int result;
        std::string message;
    } cases[] = {
        {"success", good, 0, ""},
        {"decoding fails", arpk(1000, 0xFF, "short"), -2, "Incomplete archive!"},
        {"extraction fails", arpk(static_cast<std::int64_t>(badArchive.size()), 0xFF, badArchive),
         -4, "Incorrect archive header"},
    };
    for (const Case& c : cases) {
        fake.messages.messages.clear();
        fake.progress.events.clear();
        fs::remove_all(dir.path() / "out");
        EXPECT_EQ(extract(c.package), c.result) << c.what;
        EXPECT_EQ(lastMessage(), c.message) << c.what;
        EXPECT_FALSE(outExists("_temp.arh")) << c.what;
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
    }
    // The last success shows two displays in a row: unpacking, then processing.
    fake.progress.events.clear();
    ASSERT_EQ(extract(good), 0);
    EXPECT_EQ(readOut("a.txt"), "hello");
    std::vector<std::string> texts;
    int opens = 0;
    for (const auto& e : fake.progress.events) {
        if (e.what == "text") texts.push_back(e.text);
        opens += e.what == "open";
    }
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(texts,
              (std::vector<std::string>{"Unpacking APK files...", "Processing APK files..."}));
}

TEST_F(ArpkTest, CompressedPackageCutAtEveryLength) {
    std::vector<ArchiveEntry> entries = {{"a.txt", letters(3000, 1), 1, 2},
                                         {"d\\b.txt", letters(3000, 1) + "tail", 3, 4}};
    std::string archive, error;
    ASSERT_TRUE(buildFileArchive(entries, archive, error));
    std::string package =
        encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()), archive.size());
    for (std::size_t n = 0; n < package.size(); ++n) {
        fake.messages.messages.clear();
        fs::remove_all(dir.path() / "out");
        EXPECT_LT(extract(package.substr(0, n)), 0) << n;
        EXPECT_EQ(fake.messages.messages.size(), 1u) << n;
        EXPECT_FALSE(outExists("_temp.arh")) << n;
    }
}

}  // namespace

// An entry that would land on the archive being read must not truncate it: refused before
// anything is written, the package left as it was.
TEST_F(ArpkTest, EntryThatWouldOverwriteTheArchiveBeingRead) {
    auto twoFiles = [](const std::string& second) {
        std::vector<ArchiveEntry> entries(2);
        entries[0].name = "a.txt";
        entries[0].data = "first";
        entries[1].name = second;
        entries[1].data = "second";
        std::string archive, error;
        EXPECT_TRUE(buildFileArchive(entries, archive, error)) << error;
        return archive;
    };
    auto compressed = [&](const std::string& second) {
        std::string a = twoFiles(second);
        return encodeArpk(reinterpret_cast<const unsigned char*>(a.data()), a.size());
    };
    struct Case {
        const char* what;
        std::string package;
        std::string packagePath;  // relative to the scratch folder
        std::string destination;  // relative to the working folder "cwd"
        int result;
    } cases[] = {
        {"compressed, holding the temporary name", compressed("_temp.arh"), "pkg.apk", "../out",
         -4},
        {"compressed, in other case", compressed("_TEMP.ARH"), "pkg.apk", "../out", -4},
        {"compressed, in a subfolder", compressed("sub\\_temp.arh"), "pkg.apk", "../out", 0},
        {"plain, holding the temporary name", twoFiles("_temp.arh"), "pkg.apk", "../out", 0},
        {"plain, into its own folder", twoFiles("pkg.apk"), "out/pkg.apk", "../out", -4},
        {"plain, own name in other case", twoFiles("PKG.APK"), "out/pkg.apk", "../out", -4},
        {"plain, own folder spelt with dots", twoFiles("pkg.apk"), "out/pkg.apk", "../cwd/../out/.",
         -4},
        {"plain, another name", twoFiles("other.apk"), "out/pkg.apk", "../out", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir.path() / "out");
        fake.messages.messages.clear();
        std::string pkg = writePackage(c.package, c.packagePath);
        EXPECT_EQ(extractPackage(pkg, c.destination, fake.system()), c.result);
        EXPECT_EQ(testing_support::readFile(pkg), c.package);
        if (c.result != 0) {
            EXPECT_EQ(lastMessage().rfind("Invalid file name in archive: ", 0), 0u)
                << lastMessage();
            EXPECT_FALSE(outExists("a.txt"));
        } else {
            EXPECT_EQ(readOut("a.txt"), "first");
        }
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
    }
    EXPECT_FALSE(outExists("_temp.arh"));
}
