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
#include "archive_fixture.h"

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

#ifndef _WIN32
TEST_F(HostileDestinationTest, LinksAlreadyThereAreNeverWrittenThrough) {
    struct Case {
        const char* what;
        std::function<void(const fs::path& out)> plant;
        std::string entry;  // the entry that meets the link, after a harmless "first.txt"
    } cases[] = {
        {"folder link",
         [&](const fs::path& o) { fs::create_directory_symlink(outside(), o / "sub"); },
         "sub\\evil.txt"},
        {"folder link, a folder made below it",
         [&](const fs::path& o) { fs::create_directory_symlink(outside(), o / "sub"); },
         "sub\\deeper\\evil.txt"},
        {"folder link deeper down",
         [&](const fs::path& o) {
             fs::create_directory(o / "a");
             fs::create_directory_symlink(outside(), o / "a" / "b");
         },
         "a\\b\\evil.txt"},
        {"file link, other case",
         [&](const fs::path& o) { fs::create_symlink(outside("secret.txt"), o / "readme.txt"); },
         "README.TXT"},
        {"dangling link",
         [&](const fs::path& o) { fs::create_symlink(outside("new.txt"), o / "new.txt"); },
         "new.txt"},
        {"hard link",
         [&](const fs::path& o) { fs::create_hard_link(outside("secret.txt"), o / "hard.txt"); },
         "hard.txt"},
        {"FIFO", [&](const fs::path& o) { ASSERT_EQ(::mkfifo((o / "pipe.txt").c_str(), 0600), 0); },
         "pipe.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        fs::remove_all(out());
        fs::create_directories(out());
        c.plant(out());
        EXPECT_EQ(extract(plainPackage({"first.txt", c.entry})), -3);
        EXPECT_EQ(lastMessage(), "Can't write " + out() + "\\" + c.entry + "\n");
        EXPECT_EQ(readOut("first.txt"), "new:first.txt");
        EXPECT_EQ(testing_support::readFile(outside("secret.txt")), "secret");
        EXPECT_EQ(outsideCount(), 1);
        EXPECT_EQ(fs::current_path(), dir.path() / "cwd");
    }
}
#endif

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
#ifndef _WIN32
        {"a link to a file outside",
         "pkg.apk",
         {"a.txt"},
         [&] { fs::create_symlink(outside("secret.txt"), dir.path() / "out" / "_temp.arh"); },
         0},
        {"a dangling link",
         "pkg.apk",
         {"a.txt"},
         [&] { fs::create_symlink(outside("made.txt"), dir.path() / "out" / "_temp.arh"); },
         0},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        fs::remove_all(out());
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
