// Faults of the world around the unpacker: a disk that fills up, a package that vanishes or
// shrinks while it is read, a destination or temporary folder that cannot be used. Each ends
// with its code and message, leaves the package as the fault left it, no "_temp.arh" and the
// working directory as it was.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "archive/archive_writer.h"
#include "archive/file_archive_format.h"
#include "archive_fixture.h"
#include "support/failing_file_system.h"

namespace {

using archive_test::archiveOf;
using archive_test::ArchiveTest;
using archive_test::bytesOf;
using archive_test::le32;
using archive_test::letters;
using archive_test::literalArpk;
using archive_test::oneFileArchive;
using archive_test::textMode;
using testing_support::RecordedMessage;
namespace fs = std::filesystem;

const char* const UNPACKING = "Unpacking APK files...";
const char* const PROCESSING = "Processing APK files...";
const std::int64_t BIG = 100000;  // big.bin: four copy chunks
const std::int64_t SMALL = 3000;  // a.txt: one chunk

// a.txt, then data\big.bin.
std::string standardArchive() {
    std::vector<ArchiveEntry> entries = {{"a.txt", letters(SMALL, 1), 100, 200},
                                         {"data\\big.bin", letters(BIG, 2), 300, 400}};
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
    return bytes;
}

#ifndef _WIN32
// 40,100 literals, then a copy of 40,000 bytes from offset 50: longer than the output buffer,
// so it goes to the file straight after the waiting 7,332 bytes are written out.
std::string longCopyArpk() {
    const int E = 0xFF;
    std::string text = letters(40100, 3);
    return "ARPK" + le32(80100) + "\xFF" + text + bytesOf({E, 9}) + le32(50) +
           bytesOf({40000 & 0xFF, 40000 >> 8});
}
#endif

bool shrinkFile(const std::string& path, std::int64_t size) {
#ifdef _WIN32
    // Shares reading and writing with the unpacker's open stream.
    int fd = _open(path.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) return false;
    bool ok = _chsize(fd, static_cast<long>(size)) == 0;
    _close(fd);
    return ok;
#else
    return ::truncate(path.c_str(), static_cast<off_t>(size)) == 0;
#endif
}

// Runs an action at the n-th refresh after the display showed a text: in the middle of the
// pass that the text names.
class HookedProgressSink : public testing_support::RecordingProgressSink {
public:
    bool pumpMessages() override {
        bool r = RecordingProgressSink::pumpMessages();
        if (action && pumpsSince(hookText) == hookPump) std::exchange(action, nullptr)();
        return r;
    }
    void at(const std::string& text, int pump, std::function<void()> a) {
        hookText = text;
        hookPump = pump;
        action = std::move(a);
    }

private:
    int pumpsSince(const std::string& text) const {
        int n = 0;
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->what == "pump") ++n;
            if (it->what == "text") return it->text == text ? n : -1;
        }
        return -1;
    }
    std::string hookText;
    int hookPump = 0;
    std::function<void()> action;
};

struct Rig {
    testing_support::FailingFileSystem fs{platform::systemFileSystem()};
    HookedProgressSink progress;
    int fired = 0;  // how often the fault was injected
};

enum class Log { None, Caller, Destination };
enum class Package { Intact, Gone, Kept };  // Kept: its first `kept` bytes, as the fault left it

struct Outcome {
    int code = 0;
    std::vector<RecordedMessage> messages;
    fs::path cwd;
    bool displayOpen = false;
};

using Sizes = std::vector<std::pair<std::string, std::int64_t>>;

// One case: the package, the fault, and what must come of it.
struct Row {
    Row(const char* what, std::string package, std::function<void(Rig&)> arm = nullptr)
        : what(what), package(std::move(package)), arm(std::move(arm)) {}
    Row& fails(int c, std::string m, Log l) {
        code = c;
        message = std::move(m);
        log = l;
        return *this;
    }
    Row& logHolds(std::string text) {
        logText = std::move(text);
        return *this;
    }
    Row& leaves(Package p, std::int64_t k = 0) {
        after = p;
        kept = k;
        return *this;
    }
    Row& files(Sizes s) {
        sizes = std::move(s);
        return *this;
    }
    Row& byHook() {
        hooked = true;
        return *this;
    }

    const char* what;
    std::string package;
    std::function<void(Rig&)> arm;
    int code = 0;
    std::string message;  // "" for success: nothing shown
    Log log = Log::None;
    std::optional<std::string> logText;  // what errors.txt holds; the message by default
    Package after = Package::Intact;
    std::int64_t kept = 0;
    Sizes sizes;          // output files and their sizes afterwards; -1 for one that must not exist
    bool hooked = false;  // the fault comes from a hook that must have fired once
};

class FaultTest : public ArchiveTest {
protected:
    std::string pkg() const { return path("pkg.apk"); }
    std::string temp() const { return out() + "\\_temp.arh"; }
    std::string outFile(const std::string& name) const { return out() + "\\" + name; }

    void prepare(const Row& row) {
        fake.messages.messages.clear();
        fs::remove_all(dir.path() / "out");
        fs::remove(dir.path() / "cwd" / "errors.txt");
        writePackage(row.package);
        archiveProgress().reset();
    }

    Outcome run(const Row& row, Rig& rig) {
        prepare(row);
        if (row.arm) row.arm(rig);
        fake.clock.step = ARCHIVE_REFRESH_MS;  // every report refreshes and pumps
        platform::System system{&rig.fs, &fake.messages, &rig.progress, &fake.clock};
        Outcome o;
        o.code = extractPackage(pkg(), out(), system);
        o.messages = fake.messages.messages;
        o.cwd = fs::current_path();
        o.displayOpen = archiveProgress().isOpen();
        return o;
    }

    void expectOutcome(const Row& row, const Outcome& o) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(o.code, row.code);
        if (row.message.empty()) {
            EXPECT_TRUE(o.messages.empty()) << o.messages.front().text;
        } else {
            EXPECT_EQ(o.messages.size(), 1u);
            for (const RecordedMessage& m : o.messages) {
                EXPECT_EQ(m.text, row.message);
                EXPECT_EQ(m.caption, "Error!");
                EXPECT_EQ(m.icon, platform::MessageIcon::Exclamation);
            }
        }
        fs::path callerLog = dir.path() / "cwd" / "errors.txt";
        fs::path destLog = dir.path() / "out" / "errors.txt";
        std::string logText = textMode(row.logText.value_or(row.message));
        EXPECT_EQ(fs::is_regular_file(callerLog), row.log == Log::Caller);
        EXPECT_EQ(fs::is_regular_file(destLog), row.log == Log::Destination);
        if (row.log != Log::None) {
            EXPECT_EQ(testing_support::readFile(row.log == Log::Caller ? callerLog : destLog),
                      logText);
        }
        switch (row.after) {
            case Package::Intact: EXPECT_EQ(testing_support::readFile(pkg()), row.package); break;
            case Package::Gone: EXPECT_FALSE(fs::exists(pkg())); break;
            case Package::Kept:
                EXPECT_EQ(testing_support::readFile(pkg()),
                          row.package.substr(0, static_cast<std::size_t>(row.kept)));
                break;
        }
        EXPECT_FALSE(fs::exists(dir.path() / "out" / "_temp.arh"));
        EXPECT_EQ(o.cwd, dir.path() / "cwd");
        EXPECT_FALSE(o.displayOpen);
        for (const auto& [name, size] : row.sizes) {
            fs::path p = dir.path() / "out" / name;
            std::int64_t actual = fs::is_regular_file(p) ? fs::file_size(p) : -1;
            EXPECT_EQ(actual, size) << name;
        }
    }

    void runTable(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            Rig rig;
            Outcome o = run(row, rig);
            expectOutcome(row, o);
            EXPECT_EQ(rig.fired, row.hooked ? 1 : 0) << row.what;
        }
    }

    std::string archive = standardArchive();
    std::string compressed = literalArpk(archive);
};

const std::vector<std::pair<std::string, std::int64_t>> COMPLETE = {{"a.txt", SMALL},
                                                                    {"data/big.bin", BIG}};

TEST_F(FaultTest, DiskThatFillsUp) {
    std::string dest = out();
    auto full = [dest](std::int64_t free) {
        return [dest, free](Rig& r) {
            r.fs.diskFolder = dest;
            r.fs.freeBytes = free;
        };
    };
    const std::string bigFailed = "i/o error in file " + outFile("data\\big.bin") + "\n";
    std::vector<Row> rows = {
        Row("full from the start", archive, full(0))
            .fails(-2, "i/o error in file " + outFile("a.txt") + "\n", Log::Destination)
            .logHolds("")  // the log is on the full disk too
            .files({{"a.txt", 0}, {"data/big.bin", -1}}),
        Row("fills up after the first file", archive,
            [dest](Rig& r) {
                r.fs.diskFolder = dest;
                r.progress.at(PROCESSING, 1, [&r] {
                    r.fs.freeBytes = 0;
                    ++r.fired;
                });
            })
            .fails(-2, bigFailed, Log::Destination)
            .logHolds("")
            .files({{"a.txt", SMALL}, {"data/big.bin", 0}})
            .byHook(),
        Row("temporary folder full", compressed, full(0))
            .fails(-2, "Error writing to " + temp(), Log::Caller)
            .files({{"a.txt", -1}}),
        // Copies are served from memory: the full disk shows at the final write-out.
        Row("a copy forces no write-out on a full disk",
            "ARPK" + le32(110) + "\xFF" + letters(100, 4) + bytesOf({0xFF, 0, 0, 10}), full(0))
            .fails(-2, "Error writing to " + temp(), Log::Caller),
#ifndef _WIN32
        // Byte-exact: only POSIX streams can count what reaches the disk.
        Row("fills up in the middle of a file", archive, full(SMALL + 40000))
            .fails(-2, bigFailed, Log::Destination)
            .logHolds("")
            .files({{"a.txt", SMALL}, {"data/big.bin", 40000}}),
        Row("temporary folder fills up while decoding", compressed, full(50000))
            .fails(-2, "Error writing to " + temp(), Log::Caller),
        Row("fills up while a long copy goes straight to the file", longCopyArpk(), full(40100))
            .fails(-2, "i/o error in file " + pkg() + "\n", Log::Caller),
        Row("fills up at the write-out a long copy forces", longCopyArpk(), full(32768))
            .fails(-2, "error writing to " + temp(), Log::Caller),
        Row("the temporary file fits, the files do not", compressed,
            full(static_cast<std::int64_t>(archive.size()) + SMALL + 40000))
            .fails(-2, bigFailed, Log::Destination)
            .logHolds("")
            .files({{"a.txt", SMALL}, {"data/big.bin", 40000}}),
#endif
    };
    runTable(rows);
}

TEST_F(FaultTest, PackageThatVanishesOrShrinks) {
    std::string package = pkg();
    // The first opening is the look at the magic; the second is the real reading.
    auto atReopen = [package](std::function<void()> fault) {
        return [package, fault](Rig& r) {
            r.fs.beforeRead = [package, fault, &r, opens = 0](const std::string& p) mutable {
                if (p == package && ++opens == 2) {
                    fault();
                    ++r.fired;
                }
            };
        };
    };
    auto vanish = [package] {
        std::error_code ec;  // Windows refuses while the package is open
        fs::remove(package, ec);
    };
    auto shrinkTo = [package](std::int64_t size) {
        return [package, size] { EXPECT_TRUE(shrinkFile(package, size)); };
    };
    auto during = [](const char* pass, int pump, std::function<void()> fault) {
        return [pass, pump, fault](Rig& r) {
            r.progress.at(pass, pump, [fault, &r] {
                fault();
                ++r.fired;
            });
        };
    };
    std::vector<ListedEntry> listed;
    std::int32_t total = 0;
    std::string error;
    ASSERT_TRUE(listFileArchive(archive, total, listed, error)) << error;
    const std::int64_t bigCut = listed[1].dataOffset + 40000;
    // An open file cannot be deleted on Windows; elsewhere the open stream keeps reading it.
#ifdef _WIN32
    const Package deletedWhileOpen = Package::Intact;
#else
    const Package deletedWhileOpen = Package::Gone;
#endif
    [[maybe_unused]] const std::string unreadable = "Can't read " + package + "\n";
    std::vector<Row> rows = {
#ifdef _WIN32
        // Held open from the first look on, the package cannot be deleted meanwhile.
        Row("cannot vanish before the archive is opened", archive, atReopen(vanish))
            .files(COMPLETE)
            .byHook(),
        Row("cannot vanish before the decoder opens it", compressed, atReopen(vanish))
            .files(COMPLETE)
            .byHook(),
#else
        Row("vanishes before the archive is opened", archive, atReopen(vanish))
            .fails(-3, unreadable, Log::Caller)
            .leaves(Package::Gone)
            .byHook(),
        Row("vanishes before the decoder opens it", compressed, atReopen(vanish))
            .fails(-3, unreadable, Log::Caller)
            .leaves(Package::Gone)
            .byHook(),
#endif
        Row("shrinks to 2 bytes before the archive is opened", archive, atReopen(shrinkTo(2)))
            .fails(-2, "i/o error in file " + package + "\n", Log::Caller)
            .leaves(Package::Kept, 2)
            .byHook(),
        Row("shrinks to 2 bytes before the decoder opens it", compressed, atReopen(shrinkTo(2)))
            .fails(-4, "Not a valid archive: " + package + "\n", Log::Caller)
            .leaves(Package::Kept, 2)
            .byHook(),
        Row("shrinks while a file is copied", archive, during(PROCESSING, 2, shrinkTo(bigCut)))
            .fails(-2, "i/o error in file " + package + "\n", Log::Destination)
            .leaves(Package::Kept, bigCut)
            .files({{"a.txt", SMALL}, {"data/big.bin", 32768}})
            .byHook(),
        Row("shrinks while it is decoded", compressed, during(UNPACKING, 1, shrinkTo(50000)))
            .fails(-2, "Incomplete archive!", Log::Caller)
            .leaves(Package::Kept, 50000)
            .byHook(),
        Row("shrinks once decoded: the temporary file serves", compressed,
            during(PROCESSING, 1, shrinkTo(2)))
            .leaves(Package::Kept, 2)
            .files(COMPLETE)
            .byHook(),
        Row("deleted while a file is copied", archive, during(PROCESSING, 2, vanish))
            .leaves(deletedWhileOpen)
            .files(COMPLETE)
            .byHook(),
        Row("deleted while it is decoded", compressed, during(UNPACKING, 1, vanish))
            .leaves(deletedWhileOpen)
            .files(COMPLETE)
            .byHook(),
    };
    runTable(rows);
}

TEST_F(FaultTest, DestinationOrTemporaryFolderThatCannotBeUsed) {
    std::string dest = out();
    auto destIsAFile = [this](Rig&) { dir.write("out", "a file, not a folder"); };
    auto readOnly = [dest](Rig& r) { r.fs.readOnlyFolder = dest; };
    auto unenterable = [dest](Rig& r) { r.fs.unenterableFolder = dest; };
    auto refuse = [](const char* name) { return [name](Rig& r) { r.fs.refusedNames = {name}; }; };
    const std::string cannotEnter = "Could not access subdirectory " + dest + "\\";
    const std::string tempRefused = "Can't write " + temp() + "\n";
    std::vector<Row> rows = {
        Row("destination is a file", archive, destIsAFile).fails(-2, cannotEnter, Log::Caller),
        Row("temporary folder is a file", compressed, destIsAFile)
            .fails(-3, tempRefused, Log::Caller),
        Row("read-only destination, its log included", archive, readOnly)
            .fails(-3, "Can't write " + outFile("a.txt") + "\n", Log::None)
            .files({{"a.txt", -1}}),
        Row("read-only temporary folder", compressed, readOnly).fails(-3, tempRefused, Log::Caller),
        Row("destination that cannot be entered", archive, unenterable)
            .fails(-2, cannotEnter, Log::Caller)
            .files({{"a.txt", -1}}),
        Row("temporary folder that cannot be entered after decoding", compressed, unenterable)
            .fails(-2, cannotEnter, Log::Caller)
            .files({{"a.txt", -1}}),
        Row("one output file refused", archive, refuse("big.bin"))
            .fails(-3, "Can't write " + outFile("data\\big.bin") + "\n", Log::Destination)
            .files({{"a.txt", SMALL}, {"data/big.bin", -1}}),
        Row("temporary file refused", compressed, refuse("_temp.arh"))
            .fails(-3, tempRefused, Log::Caller)
            .files({{"a.txt", -1}}),
        Row("working directory unknown", archive, [](Rig& r) { r.fs.currentFolderFails = true; })
            .fails(-2, "Cannot determine current directory", Log::Caller)
            .files({{"a.txt", -1}}),
    };
    runTable(rows);
}

#ifndef _WIN32
// A real full disk: the kernel refuses bytes past RLIMIT_FSIZE (SIGXFSZ ignored, so writes
// fail with EFBIG), through the real buffered streams. The limit is per file, so the short log
// still gets written. Runs in a child so that the limit stays there.
std::string field(const std::string& s) {
    return std::to_string(s.size()) + ":" + s;
}

bool takeField(const std::string& in, std::size_t& at, std::string& out) {
    std::size_t colon = in.find(':', at);
    if (colon == std::string::npos) return false;
    std::size_t n = std::stoul(in.substr(at, colon - at));
    if (colon + 1 + n > in.size()) return false;
    out = in.substr(colon + 1, n);
    at = colon + 1 + n;
    return true;
}

bool extractUnderFileSizeLimit(const std::string& package, const std::string& dest, rlim_t limit,
                               Outcome& o) {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        ::close(fds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(2);
        testing_support::FakeSystem f;
        f.clock.step = ARCHIVE_REFRESH_MS;
        int code = extractPackage(package, dest, f.system());
        std::string report = field(std::to_string(code)) + field(fs::current_path().string()) +
                             field(archiveProgress().isOpen() ? "1" : "0");
        for (const RecordedMessage& m : f.messages.messages)
            report +=
                field(m.text) + field(m.caption) + field(std::to_string(static_cast<int>(m.icon)));
        for (std::size_t done = 0; done < report.size();) {
            ssize_t n = ::write(fds[1], report.data() + done, report.size() - done);
            if (n <= 0) ::_exit(3);
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) report.append(buf, n);
    ::close(fds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    std::size_t at = 0;
    std::string code, cwd, open;
    if (!takeField(report, at, code) || !takeField(report, at, cwd) || !takeField(report, at, open))
        return false;
    o.code = std::stoi(code);
    o.cwd = cwd;
    o.displayOpen = open == "1";
    for (RecordedMessage m; at < report.size();) {
        std::string icon;
        if (!takeField(report, at, m.text) || !takeField(report, at, m.caption) ||
            !takeField(report, at, icon))
            return false;
        m.icon = static_cast<platform::MessageIcon>(std::stoi(icon));
        o.messages.push_back(m);
    }
    return true;
}

TEST_F(FaultTest, FileSizeLimitOfTheSystem) {
    std::string small = oneFileArchive("a.txt", letters(SMALL, 5));
    const std::string large =
        archiveOf({{"a.txt", letters(700000, 6), 1, 2}, {"b.txt", letters(600000, 7), 3, 4}});
    // The same with the two records and their names (of one length) swapped.
    std::string reversed = large;
    const std::size_t records = FA_HEADER_SIZE, names = records + 2 * FA_RECORD_SIZE;
    reversed.replace(records, 2 * FA_RECORD_SIZE,
                     large.substr(records + FA_RECORD_SIZE, FA_RECORD_SIZE) +
                         large.substr(records, FA_RECORD_SIZE));
    reversed.replace(names, 12, large.substr(names + 6, 6) + large.substr(names, 6));
    struct LimitRow {
        Row row;
        rlim_t limit;
    };
    const std::string bigFailed = "i/o error in file " + outFile("data\\big.bin") + "\n";
    std::vector<LimitRow> rows = {
        {Row("a file outgrows the limit", archive)
             .fails(-2, bigFailed, Log::Destination)
             .files({{"a.txt", SMALL}, {"data/big.bin", 50000}}),
         50000},
        {Row("a file of one short chunk outgrows the limit", small)
             .fails(-2, "i/o error in file " + outFile("a.txt") + "\n", Log::Destination)
             .files({{"a.txt", 1000}}),
         1000},
        {Row("the temporary file outgrows the limit", compressed)
             .fails(-2, "Error writing to " + temp(), Log::Caller)
             .files({{"a.txt", -1}}),
         50000},
        {Row("the temporary file's last bytes are lost at the close", literalArpk(small))
             .fails(-2, "Error writing to " + temp(), Log::Caller)
             .files({{"a.txt", -1}}),
         1000},
        // Extracted while decoded: an archive whose files follow each other is taken from
        // memory, and no temporary file is written; one whose directory lists them in
        // another order is read from the temporary file, which then meets the limit.
        {Row("a large package extracted from memory", literalArpk(large))
             .files({{"a.txt", 700000}, {"b.txt", 600000}}),
         1u << 20},
        {Row("the temporary file of a large package outgrows the limit", literalArpk(reversed))
             .fails(-2, "Error writing to " + temp(), Log::Caller),
         1u << 20},
    };
    for (const LimitRow& r : rows) {
        prepare(r.row);
        Outcome o;
        ASSERT_TRUE(extractUnderFileSizeLimit(pkg(), out(), r.limit, o)) << r.row.what;
        expectOutcome(r.row, o);
    }
}
#endif

}  // namespace
