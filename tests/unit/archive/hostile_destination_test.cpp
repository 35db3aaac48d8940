// Destinations that were prepared against the unpacker: links already in them, the package
// itself reached by another name, and a temporary file that is already there. Nothing may be
// written through a link or over the package, and nothing outside may change.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive/package_lister.h"
#include "archive_fixture.h"
#include "support/crc32.h"
#include "support/links.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using archive_test::ArchiveTest;
namespace fs = std::filesystem;

std::string plainPackage(const std::vector<std::string>& names) {
    std::vector<ArchiveEntry> entries;
    for (const std::string& n : names) entries.push_back({n, "new:" + n, 100, 200});
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
    return bytes;
}

std::string compressedPackage(const std::vector<std::string>& names) {
    std::string a = plainPackage(names);
    return encodeArpk(reinterpret_cast<const unsigned char*>(a.data()), a.size());
}

class HostileDestinationTest : public ArchiveTest {
protected:
    // Files outside the destination that a hostile destination points at.
    void SetUp() override {
        ArchiveTest::SetUp();
        dir.write("outside/secret.txt", "secret");
        fs::create_directories(dir.path() / "out");
    }
    fs::path outside(const std::string& name = "") const { return dir.path() / "outside" / name; }
    int outsideCount() const {
        int n = 0;
        for (auto it = fs::recursive_directory_iterator(outside()); it != fs::end(it); ++it) ++n;
        return n;
    }
};

// One row's folders: the destination, a folder beside it that links lead to, and the working
// folder of the call.
struct Site {
    fs::path out, outside, cwd;
};

// Every file in a folder with its content, links to files read through; links to folders and
// links that lead nowhere are not entered (Wine shows a Unix link to a file as a file).
void holdings(const fs::path& folder, const std::string& prefix,
              std::map<std::string, std::string>& out) {
    for (const auto& e : fs::directory_iterator(folder)) {
        std::string name = prefix + e.path().filename().string();
        if (fs::is_directory(e.path())) {
            if (!testing_support::isFolderLink(e.path())) holdings(e.path(), name + "\\", out);
        } else if (fs::is_regular_file(e.path())) {
            out[name] = testing_support::readFile(e.path());
        }
    }
}

std::map<std::string, std::uint32_t> hashes(const fs::path& folder) {
    std::map<std::string, std::uint32_t> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        out[e.path().lexically_relative(folder).string()] =
            testing_support::crc32(testing_support::readFile(e.path()));
    return out;
}

// Windows' own short name for a long one; natively the first one Windows would give.
std::string shortAlias(const fs::path& scratch, const std::string& longName) {
#ifdef _WIN32
    fs::create_directories(scratch);
    std::string path = (scratch / longName).string();
    testing_support::writeFile(path, "x");
    char buffer[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    std::string s(buffer, n > 0 && n < sizeof buffer ? n : 0);
    return s.substr(s.find_last_of('\\') + 1);
#else
    (void)scratch, (void)longName;
    return "LONGFI~1.TXT";
#endif
}

// What a hostile destination or a hostile name may do: links in the destination (also the
// Unix links Wine shows as plain files), a log or report through a link, names that Windows
// folds into one, device names and characters Windows refuses. Each row: the code, the
// message, the destination afterwards, nothing outside changed, and the lister refusing a
// name as the unpacker does.
TEST_F(ArchiveTest, HostileDestinationsAndNamesReachNothingOutside) {
    const std::string big = archive_test::letters(1200000, 5);  // decoded while extracted
    const std::string inTheWay = ": a link or special file is in the way\n";
    const std::string alias = shortAlias(dir.path() / "alias", "longfilename.txt");
    ASSERT_FALSE(alias.empty());
    auto link = [](const char* target, const char* at, bool folder = false) {
        return [=](const Site& s) {
            fs::create_directories((s.out / at).parent_path());
            return testing_support::makeSymlink(s.outside / target, s.out / at, folder);
        };
    };
    auto hardLink = [](const char* target, const char* at) {
        return [=](const Site& s) {
            fs::create_hard_link(s.outside / target, s.out.parent_path() / at);
            return true;
        };
    };
    struct Case {
        const char* what;
        std::function<bool(const Site&)> plant;
        std::vector<std::string> entries;
        bool compressed;
        int result;
        std::string message;  // "<out>" stands for the destination and a backslash
        std::map<std::string, std::string> holds;  // also "errors.txt", in text mode
        bool listed = false;                       // the lister refuses it alike
        std::string bytes = "";                    // the package, when not made of entries
    } cases[] = {
        {"a folder link",
         link("", "sub", true),
         {"first.txt", "sub\\evil.txt"},
         false,
         -3,
         "Can't write <out>sub\\evil.txt" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"errors.txt", "<log>"}}},
        {"a folder link deeper down, compressed",
         link("", "a/b", true),
         {"first.txt", "a\\b\\evil.txt"},
         true,
         -3,
         "Can't write <out>a\\b\\evil.txt" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"errors.txt", "<log>"}}},
        {"a file link met in another case",
         link("secret.txt", "readme.txt"),
         {"first.txt", "README.TXT"},
         false,
         -3,
         "Can't write <out>README.TXT" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"readme.txt", "secret"}, {"errors.txt", "<log>"}}},
        {"a file link, in a package decoded while it is extracted",
         link("secret.txt", "readme.txt"),
         {"big.bin", "README.TXT"},
         true,
         -3,
         "Can't write <out>README.TXT" + inTheWay,
         {{"big.bin", big}, {"readme.txt", "secret"}, {"errors.txt", "<log>"}}},
        {"a link to nothing",
         link("new.txt", "new.txt"),
         {"first.txt", "new.txt"},
         false,
         -3,
         "Can't write <out>new.txt" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"errors.txt", "<log>"}}},
        {"a hard link",
         hardLink("secret.txt", "out/hard.txt"),
         {"first.txt", "hard.txt"},
         false,
         -3,
         "Can't write <out>hard.txt" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"hard.txt", "secret"}, {"errors.txt", "<log>"}}},
#ifndef _WIN32
        {"a FIFO",
         [](const Site& s) { return ::mkfifo((s.out / "pipe.txt").c_str(), 0600) == 0; },
         {"first.txt", "pipe.txt"},
         false,
         -3,
         "Can't write <out>pipe.txt" + inTheWay,
         {{"first.txt", "new:first.txt"}, {"errors.txt", "<log>"}}},
#endif
        {"a plain file in another case is replaced",
         [](const Site& s) { return testing_support::writeFile(s.out / "Readme.txt", "old"); },
         {"README.TXT"},
         false,
         0,
         "",
         {{"Readme.txt", "new:README.TXT"}}},
        {"errors.txt a link in the destination",
         link("log.txt", "errors.txt"),
         {"first.txt", "bad?.txt"},
         false,
         -4,
         "Invalid file name in archive: bad?.txt\n",
         {{"errors.txt", "log"}},
         true},
        {"errors.txt a hard link in the destination",
         hardLink("log.txt", "out/errors.txt"),
         {"first.txt", "bad?.txt"},
         true,
         -4,
         "Invalid file name in archive: bad?.txt\n",
         {{"errors.txt", "log"}},
         true},
        {"errors.txt a hard link in the working folder",
         hardLink("log.txt", "cwd/errors.txt"),
         {},
         false,
         -4,
         "Incorrect archive header",
         {},
         true,
         "KLIX" + std::string(8, '\0')},
        {"errors.txt a link in the working folder",
         [](const Site& s) {
             return testing_support::makeSymlink(s.outside / "log.txt", s.cwd / "errors.txt");
         },
         {},
         false,
         -4,
         "Incorrect archive header",
         {},
         true,
         "KLIX" + std::string(8, '\0')},
        {"control bytes of a name are not written",
         nullptr,
         {"first.txt", "a\x1B]0;x\x07.txt"},
         false,
         -4,
         "Invalid file name in archive: a\\x1B]0;x\\x07.txt\n",
         {{"errors.txt", "<log>"}},
         true},
        {"names in two cases",
         nullptr,
         {"A.TXT", "a.txt"},
         false,
         -4,
         "Clashing file names in archive: A.TXT and a.txt\n",
         {{"errors.txt", "<log>"}},
         true},
        {"accented letters in two cases, compressed",
         nullptr,
         {"\xC9t\xE9.txt", "\xE9T\xC9.TXT"},
         true,
         -4,
         "Clashing file names in archive: \xC9t\xE9.txt and \xE9T\xC9.TXT\n",
         {{"errors.txt", "<log>"}},
         true},
        {"a trailing dot and blank",
         nullptr,
         {"x.txt", "x.txt. "},
         false,
         -4,
         "Clashing file names in archive: x.txt and x.txt. \n",
         {{"errors.txt", "<log>"}},
         true},
        {"a long name and its short alias",
         nullptr,
         {"longfilename.txt", alias},
         false,
         -4,
         "Clashing file names in archive: longfilename.txt and " + alias + "\n",
         {{"errors.txt", "<log>"}},
         true},
        {"a file where a folder is needed",
         nullptr,
         {"data", "DATA\\x.txt"},
         false,
         -4,
         "Clashing file names in archive: data and DATA\\x.txt\n",
         {{"errors.txt", "<log>"}},
         true},
        {"COM and a superscript one",
         nullptr,
         {"first.txt", "COM\xB9"},
         false,
         -4,
         "Invalid file name in archive: COM\xB9\n",
         {{"errors.txt", "<log>"}},
         true},
        {"LPT and a superscript three, with an extension",
         nullptr,
         {"sub\\lpt\xB3.log"},
         true,
         -4,
         "Invalid file name in archive: sub\\lpt\xB3.log\n",
         {{"errors.txt", "<log>"}},
         true},
        {"a character Windows refuses",
         nullptr,
         {"first.txt", "pipe|name"},
         false,
         -4,
         "Invalid file name in archive: pipe|name\n",
         {{"errors.txt", "<log>"}},
         true},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::path root = dir.path() / ("row" + std::to_string(row++));
        Site site{root / "out", root / "outside", root / "cwd"};
        for (const fs::path& p : {site.out, site.outside, site.cwd}) fs::create_directories(p);
        testing_support::writeFile(site.outside / "secret.txt", "secret");
        testing_support::writeFile(site.outside / "log.txt", "log");
        fs::current_path(site.cwd);
        if (c.plant && !c.plant(site)) {
            std::printf("skipped here, no link could be made: %s\n", c.what);
            continue;
        }
        std::string bytes = c.bytes.empty() ? archive_test::rawArchive(
                                                  c.entries, c.entries[0] == "big.bin" ? big : "")
                                            : c.bytes;
        if (c.compressed) bytes = archive_test::encoded(bytes);
        std::string pkg = writePackage(bytes, "pkg" + std::to_string(row) + ".apk");
        auto expand = [&](std::string text) {
            const std::string out = site.out.string() + "\\";
            for (std::size_t at = 0; (at = text.find("<out>", at)) != std::string::npos;)
                text.replace(at, 5, out);
            return text;
        };
        const std::string message = expand(c.message);
        auto outsideBefore = hashes(site.outside);
        fake.messages.messages.clear();

        EXPECT_EQ(extractPackage(pkg, site.out.string(), fake.system()), c.result);
        EXPECT_EQ(lastMessage(), message);
        std::map<std::string, std::string> expected;
        for (const auto& [name, content] : c.holds)
            expected[name] = content == "<log>" ? archive_test::textMode(message) : content;
        std::map<std::string, std::string> held;
        holdings(site.out, "", held);
        EXPECT_EQ(held, expected);
        EXPECT_EQ(hashes(site.outside), outsideBefore);
        EXPECT_EQ(fs::current_path(), site.cwd);

        PackageListing listing;
        std::string listed;
        EXPECT_EQ(listPackage(platform::systemFileSystem(), pkg, listing, listed),
                  c.listed ? c.result : 0);
        EXPECT_EQ(listed, c.listed ? message : "");
    }
}

// The package reached through the destination by another spelling, a link or a hard link:
// refused before anything is written, plain or compressed, and the package stays whole.
TEST_F(HostileDestinationTest, PackageReachedByAnotherNameIsRefused) {
    struct Case {
        const char* what;
        bool compressed;
        std::string packagePath;  // relative to the scratch folder
        std::function<void()> plant;
        std::string destination;  // relative to the scratch folder
        std::string entry;
        std::string reachedAs = "";  // the package path handed over, when not packagePath
    } cases[] = {
        {"hard link of the package in the destination", false, "pkg.apk",
         [&] { fs::create_hard_link(dir.path() / "pkg.apk", dir.path() / "out" / "copy.apk"); },
         "out", "copy.apk"},
        {"hard link, compressed", true, "pkg.apk",
         [&] { fs::create_hard_link(dir.path() / "pkg.apk", dir.path() / "out" / "copy.apk"); },
         "out", "COPY.APK"},
        {"own folder, compressed", true, "out/pkg.apk", [] {}, "out", "pkg.apk"},
        {"own folder, compressed, other case", true, "out/pkg.apk", [] {}, "out", "Pkg.Apk"},
#ifndef _WIN32
        {"package named through a link to its folder", false, "out/pkg.apk",
         [&] { fs::create_directory_symlink(dir.path() / "out", dir.path() / "alias"); }, "out",
         "pkg.apk", "alias/pkg.apk"},
        {"destination through a link to the package's folder", true, "out/pkg.apk",
         [&] { fs::create_directory_symlink(dir.path() / "out", dir.path() / "alias"); }, "alias",
         "pkg.apk"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        fs::remove_all(out());
        fs::remove_all(dir.path() / "alias");
        fs::create_directories(out());
        std::vector<std::string> names = {"first.txt", c.entry};
        std::string bytes = c.compressed ? compressedPackage(names) : plainPackage(names);
        std::string pkg = writePackage(bytes, c.packagePath);
        c.plant();
        std::string reached = c.reachedAs.empty() ? pkg : path(c.reachedAs);
        EXPECT_EQ(extractPackage(reached, path(c.destination), fake.system()), -4);
        EXPECT_EQ(lastMessage(), "Invalid file name in archive: " + c.entry + "\n");
        EXPECT_EQ(testing_support::readFile(pkg), bytes);
        EXPECT_FALSE(outExists("first.txt"));
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
    }
}

// A name "_temp.arh" (any case) already in the destination is left alone: the decoded archive
// goes to the first free name "_temp1.arh", "_temp2.arh" ..., which no entry may take.
TEST_F(HostileDestinationTest, TemporaryFileIsAlwaysANewOne) {
    struct Case {
        const char* what;
        std::string packagePath;  // relative to the scratch folder
        std::vector<std::string> entries;
        std::function<void()> plant;
        int result;
    } cases[] = {
        {"the package itself is _TEMP.ARH", "out/_TEMP.ARH", {"a.txt"}, [] {}, 0},
        {"a file left from an earlier run",
         "pkg.apk",
         {"a.txt"},
         [&] { dir.write("out/_temp.arh", "left over"); },
         0},
        {"two names taken",
         "pkg.apk",
         {"a.txt"},
         [&] {
             dir.write("out/_temp.arh", "left over");
             dir.write("out/_Temp1.arh", "left over");
         },
         0},
        {"an entry with the name chosen",
         "pkg.apk",
         {"a.txt", "_temp1.arh"},
         [&] { dir.write("out/_temp.arh", "left over"); },
         -4},
        {"a link to a file outside",
         "pkg.apk",
         {"a.txt"},
         [&] {
             testing_support::makeSymlink(outside("secret.txt"), dir.path() / "out" / "_temp.arh");
         },
         0},
        {"a dangling link",
         "pkg.apk",
         {"a.txt"},
         [&] {
             testing_support::makeSymlink(outside("made.txt"), dir.path() / "out" / "_temp.arh");
         },
         0},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        // Under Wine a Unix link cannot be deleted (what it leads to is deleted instead): the
        // last row's destination is moved aside whole.
        if (fs::exists(out())) fs::rename(out(), dir.path() / ("old" + std::to_string(row++)));
        fs::create_directories(out());
        c.plant();
        std::string bytes = compressedPackage(c.entries);
        std::string pkg = writePackage(bytes, c.packagePath);
        std::map<std::string, std::string> before;
        for (const auto& e : fs::directory_iterator(out()))
            if (!fs::is_symlink(e.path()))
                before[e.path().filename().string()] = testing_support::readFile(e.path());
        EXPECT_EQ(extractPackage(pkg, out(), fake.system()), c.result) << lastMessage();
        if (c.result == 0) {
            EXPECT_EQ(readOut("a.txt"), "new:a.txt");
        } else {
            EXPECT_EQ(lastMessage(), "Invalid file name in archive: _temp1.arh\n");
        }
        EXPECT_EQ(testing_support::readFile(pkg), bytes);
        // What was there is unchanged; besides it only the entries (and the log) are new.
        for (const auto& e : fs::directory_iterator(out())) {
            std::string name = e.path().filename().string();
            if (before.count(name)) {
                EXPECT_EQ(readOut(name), before[name]) << name;
            } else if (!fs::is_symlink(e.path())) {
                EXPECT_TRUE(name == "errors.txt" || name == c.entries[0]) << name;
            }
        }
        EXPECT_EQ(testing_support::readFile(outside("secret.txt")), "secret");
        EXPECT_EQ(outsideCount(), 1);
    }
}

#ifndef _WIN32
// A working folder deeper than PATH_MAX: known, used and restored like any other.
TEST_F(HostileDestinationTest, WorkingFolderLongerThanPathMax) {
    std::string pkg = writePackage(plainPackage({"a.txt"}));
    const std::string part(200, 'd');
    for (int i = 0; i < 25; ++i) {
        fs::create_directory(part);
        ASSERT_EQ(::chdir(part.c_str()), 0);
    }
    std::string deep;
    ASSERT_TRUE(platform::systemFileSystem().currentFolder(deep));
    ASSERT_GT(deep.size(), 5000u);
    EXPECT_EQ(extractPackage(pkg, "out", fake.system()), 0) << lastMessage();
    EXPECT_EQ(testing_support::readFile("out/a.txt"), "new:a.txt");
    std::string after;
    ASSERT_TRUE(platform::systemFileSystem().currentFolder(after));
    EXPECT_EQ(after, deep);
    ASSERT_EQ(::chdir((dir.path() / "cwd").c_str()), 0);
}
#endif

}  // namespace
