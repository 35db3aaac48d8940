// The package operation as Setup runs it: the installer unpacks through its action services
// into the unpacker. Whichever layer fails, plain, compressed, or decoded while extracted, the
// code and message come back in the context, one line is appended to the errors.txt of the
// folder where the failure happened, and one message box shows it.
#include <gtest/gtest.h>

#include <optional>

#include "actions/package_installer.h"
#include "archive/arpk_format.h"
#include "archive_fixture.h"
#include "support/action_fakes.h"

namespace {

using archive_test::ArchiveTest;
using archive_test::bytesOf;
using archive_test::le32;
using archive_test::letters;
using archive_test::literalArpk;
using archive_test::oneFileArchive;
using archive_test::rawArchive;
using archive_test::record;
using archive_test::textMode;
namespace fs = std::filesystem;

enum class Log { Caller, Destination };

const char* const EARLIER = "an earlier line\n";

TEST_F(ArchiveTest, PackageOperationLogsAndShowsEachFailureOnce) {
    const std::string pkg = path("pkg.APK");
    const std::string ioError = "i/o error in file " + pkg + "\n";
    const std::string good = oneFileArchive("a.txt", "hello");
    const std::string oneFile = "KLIV" + le32(5) + le32(1);
    // Large enough to be extracted while it is decoded.
    const std::string big = letters(ARPK_OVERLAP_MIN + 1000, 4);
    const std::string large = rawArchive({"big.bin", "b.txt"}, big);
    struct Row {
        const char* what;
        std::string bytes;
        int code;
        std::string message;
        Log log;
    } rows[] = {
        {"shorter than 4 bytes", "KL", -2, ioError, Log::Caller},
        {"wrong magic", "KLIX" + good.substr(4), -4, "Incorrect archive header", Log::Caller},
        {"header cut", good.substr(0, 10), -2, ioError, Log::Caller},
        {"no files", "KLIV" + le32(0) + le32(0), -4, "Invalid nr of files in archive", Log::Caller},
        {"directory cut", good.substr(0, 20), -2, ioError, Log::Destination},
        {"data cut", good.substr(0, 40), -2, ioError, Log::Destination},
        {"offset past the end", oneFile + record(5000, 5, 6) + std::string("a.txt\0", 6), -2,
         ioError, Log::Destination},
        {"negative offset", oneFile + record(-100, 5, 6) + std::string("a.txt\0", 6) + "hello", -2,
         "Seek error", Log::Destination},
        {"control bytes in a name, escaped", rawArchive({"\x1B[2J\r"}), -4,
         "Invalid file name in archive: \\x1B[2J\\x0D\n", Log::Destination},
        {"compressed, cut", literalArpk(good).substr(0, 20), -2, "Incomplete archive!",
         Log::Caller},
        {"compressed, copy from the future",
         "ARPK" + le32(1000) + "\xFF" + "KLIV" + bytesOf({0xFF, 0, 10, 4}), -4,
         "Bad escape sequence in " + pkg, Log::Caller},
        {"compressed, no archive inside", literalArpk("KLIX" + good.substr(4)), -4,
         "Incorrect archive header", Log::Caller},
        {"large, a name refused while it is decoded",
         literalArpk(rawArchive({"big.bin", "a:b"}, big)), -4,
         "Invalid file name in archive: a:b\n", Log::Destination},
        // The extractor is in the destination when the decoder fails: logged where the caller
        // works all the same.
        {"large, cut while extracted", literalArpk(large).substr(0, large.size() * 3 / 4), -2,
         "Incomplete archive!", Log::Caller},
    };
    const fs::path callerLog = dir.path() / "cwd" / "errors.txt";
    const fs::path destLog = dir.path() / "out" / "errors.txt";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir.path() / "out");
        fs::create_directory(dir.path() / "out");
        // Appended to, never replaced.
        ASSERT_TRUE(testing_support::writeFile(callerLog, EARLIER));
        ASSERT_TRUE(testing_support::writeFile(destLog, EARLIER));
        writePackage(row.bytes, "pkg.APK");
        fake.messages.messages.clear();

        testing_support::FakeActionServices actionFakes;
        ArchiveContext context(fake.system());
        actionFakes.extractor = [&](const std::string& package, const std::string& destination) {
            return extractPackage(package, destination, context);
        };
        testing_support::FakeRegistry registry;
        actions::InstallerFinder finder(registry);
        actions::PackageInstaller installer(actionFakes.services(fake.system()), finder, "Setup");
        std::string folder = out();
        EXPECT_FALSE(installer.unpackPackage(path("pkg"), folder));

        EXPECT_EQ(context.error.code, row.code);
        EXPECT_EQ(context.error.message, row.message);
        EXPECT_EQ(context.error.inDestination, row.log == Log::Destination);
        ASSERT_EQ(fake.messages.messages.size(), 1u);
        EXPECT_EQ(fake.messages.messages[0].text, row.message);
        EXPECT_EQ(fake.messages.messages[0].caption, "Error!");
        EXPECT_EQ(fake.messages.messages[0].icon, platform::MessageIcon::Exclamation);
        const std::string logged = EARLIER + textMode(row.message);
        EXPECT_EQ(testing_support::readFile(callerLog), row.log == Log::Caller ? logged : EARLIER);
        EXPECT_EQ(testing_support::readFile(destLog),
                  row.log == Log::Destination ? logged : EARLIER);
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
        EXPECT_FALSE(outExists("_temp.arh"));
        EXPECT_FALSE(archiveProgress().isOpen());
    }
}

}  // namespace

// errors.txt stays ANSI while the message fits the code page (an entry name is its bytes);
// a character it lacks makes the log UTF-8 after a byte-order mark, an ANSI log converted.
TEST_F(ArchiveTest, PackageOperationLogKeepsEveryCharacter) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string ansiName = "Invalid file name in archive: a:\xE9\n";
    const std::string cyrillicName = "Invalid file name in archive: a:Ж\n";
    struct Row {
        const char* what;
        const char* entry;
        std::optional<std::string> before;
        std::string after;
    } rows[] = {
        {"ANSI log, ANSI name", "a:\xE9", "caf\xE9\n", "caf\xE9\n" + textMode(ansiName)},
        {"ANSI log, a name it cannot hold", "a:Ж", "caf\xE9\n",
         mark + "café\n" + textMode(cyrillicName)},
        {"UTF-8 log, ANSI name", "a:\xE9", mark + "Ω\n",
         mark + "Ω\n" + textMode("Invalid file name in archive: a:é\n")},
        {"no log yet", "a:Ж", std::nullopt, mark + textMode(cyrillicName)},
    };
    const fs::path log = dir.path() / "out" / "errors.txt";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(dir.path() / "out");
        fs::create_directory(dir.path() / "out");
        if (row.before) ASSERT_TRUE(testing_support::writeFile(log, *row.before));
        writePackage(rawArchive({row.entry}), "pkg.APK");
        ArchiveContext context(fake.system());
        EXPECT_EQ(extractPackage(path("pkg.APK"), out(), context), -4);
        EXPECT_EQ(testing_support::readFile(log), row.after);
    }
}
