// What only Windows does to package names: the spellings it folds together (trailing dots and
// blanks, short 8.3 names), hard links known by volume serial and file index, and folders that
// are reparse points. The package must never be written over, nothing written outside.
#include <windows.h>

#include <functional>

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "support/links.h"
#include "unit/archive/archive_fixture.h"

namespace {

using archive_test::ArchiveTest;
namespace fs = std::filesystem;

std::string package(const std::vector<std::string>& names, bool compressed) {
    std::vector<ArchiveEntry> entries;
    for (const std::string& n : names) entries.push_back({n, "new:" + n, 100, 200});
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
    if (!compressed) return bytes;
    return encodeArpk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string shortNameOf(const std::string& path) {
    char buffer[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return "";
    std::string s(buffer, n);
    return s.substr(s.find_last_of('\\') + 1);
}

TEST_F(ArchiveTest, PackageUnderEveryWindowsSpellingIsRefused) {
    const std::string name = "package-long-name.apk";
    struct Case {
        const char* what;
        bool compressed;
        std::function<std::string(const std::string& pkg)> entry;
    } cases[] = {
        {"trailing dot", false, [](const std::string&) { return "PACKAGE-LONG-NAME.APK."; }},
        {"trailing blank", true, [](const std::string&) { return "package-long-name.apk "; }},
        {"short name", false, [](const std::string& pkg) { return shortNameOf(pkg); }},
        {"short name, compressed", true, [](const std::string& pkg) { return shortNameOf(pkg); }},
        {"hard link", false,
         [this](const std::string& pkg) {
             EXPECT_TRUE(CreateHardLinkA(path("out\\other.apk").c_str(), pkg.c_str(), nullptr));
             return std::string("OTHER.APK");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.messages.messages.clear();
        fs::remove_all(dir.path() / "out");
        fs::create_directories(dir.path() / "out");
        std::string pkg = path("out\\" + name);
        // Written first under its own name, then again with the entry that names it.
        writePackage("placeholder", "out/" + name);
        std::string entry = c.entry(pkg);
        ASSERT_FALSE(entry.empty());
        std::string bytes = package({"first.txt", entry}, c.compressed);
        writePackage(bytes, "out/" + name);
        EXPECT_EQ(extractPackage(pkg, out(), fake.system()), -4);
        EXPECT_EQ(lastMessage(), "Invalid file name in archive: " + entry + "\n");
        EXPECT_EQ(testing_support::readFile(pkg), bytes);
        EXPECT_FALSE(outExists("first.txt"));
    }
}

TEST_F(ArchiveTest, FolderThatIsAReparsePointIsNeverWrittenThrough) {
    dir.write("outside/secret.txt", "secret");
    fs::create_directories(dir.path() / "out");
    if (!testing_support::makeSymlink(dir.path() / "outside", dir.path() / "out" / "sub", true))
        GTEST_SKIP() << "no folder links here";
    for (const std::string entry : {"sub\\evil.txt", "SUB\\deeper\\evil.txt"}) {
        fake.messages.messages.clear();
        EXPECT_EQ(extract(package({"first.txt", entry}, false)), -3);
        EXPECT_EQ(lastMessage(), "Can't write " + out() + "\\" + entry +
                                     ": a link or special file is in the way\n");
        EXPECT_EQ(readOut("first.txt"), "new:first.txt");
        int outside = 0;
        for (auto it = fs::recursive_directory_iterator(dir.path() / "outside"); it != fs::end(it);
             ++it)
            ++outside;
        EXPECT_EQ(outside, 1) << entry;
    }
    std::error_code ec;  // Wine removes its Unix link as a folder
    if (!fs::remove(dir.path() / "out" / "sub", ec))
        RemoveDirectoryA((dir.path() / "out" / "sub").string().c_str());
}

}  // namespace
