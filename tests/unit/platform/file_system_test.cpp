// The file layer as the core sees it: separators, case, patterns, times, folders.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/file_system.h"
#include "platform/wildcard.h"
#include "support/fakes.h"

namespace {

using testing_support::ScratchDir;

struct MatchCase {
    const char* pattern;
    const char* name;
    bool match;
};

class Wildcard : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Wildcard, MatchesLikeWindows) {
    EXPECT_EQ(platform::wildcardMatch(GetParam().pattern, GetParam().name), GetParam().match)
        << GetParam().pattern << " / " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, Wildcard,
    ::testing::Values(MatchCase{"*.*", "noextension", true}, MatchCase{"*.mnu", "PALM.MNU", true},
                      MatchCase{"*.mnu", "palm.mnu.bak", false}, MatchCase{"*.mnu", "mnu", false},
                      MatchCase{"p?lm.*", "PALM.mnu", true}, MatchCase{"p?lm.*", "plm.mnu", false},
                      MatchCase{"*a*b", "xaxxbyb", true}, MatchCase{"*a*b", "xaxxbyc", false},
                      MatchCase{"exact", "EXACT", true}));

std::string join(const ScratchDir& d, const char* rel) {
    return d.str() + "\\" + rel;
}

TEST(FileSystem, BackslashPathsAndFolders) {
    ScratchDir d;
    auto& fs = platform::systemFileSystem();
    EXPECT_TRUE(fs.createFolder(join(d, "sub")));
    EXPECT_FALSE(fs.createFolder(join(d, "sub")));  // already there
    EXPECT_TRUE(fs.isFolder(join(d, "sub")));
    {
        platform::FilePtr f = fs.openFile(join(d, "sub\\a.txt"), "wb");
        ASSERT_TRUE(f);
        std::fputs("hello", f.get());
    }
    EXPECT_TRUE(fs.exists(join(d, "sub\\a.txt")));
    EXPECT_FALSE(fs.isFolder(join(d, "sub\\a.txt")));
    EXPECT_FALSE(fs.removeFolder(join(d, "sub")));  // not empty
    EXPECT_FALSE(fs.deleteFile(join(d, "sub")));    // a folder is no file
    EXPECT_TRUE(fs.deleteFile(join(d, "sub\\a.txt")));
    EXPECT_FALSE(fs.exists(join(d, "sub\\a.txt")));
    EXPECT_TRUE(fs.removeFolder(join(d, "sub")));
    EXPECT_FALSE(fs.exists(join(d, "sub")));
}

TEST(FileSystem, NamesFoundWithoutRegardToCase) {
    ScratchDir d;
    d.write("Disc/RSC/RscInfo.ini", "x");
    auto& fs = platform::systemFileSystem();
    EXPECT_TRUE(fs.exists(join(d, "disc\\rsc\\rscinfo.ini")));
    EXPECT_TRUE(fs.openFile(join(d, "DISC\\rsc\\RSCINFO.INI"), "rb") != nullptr);
    EXPECT_FALSE(fs.exists(join(d, "disc\\rsc\\other.ini")));
}

// Names found in one folder, by the layer's own listing.
std::set<std::string> namesIn(const ScratchDir& d, const char* folder) {
    std::set<std::string> names;
    std::string pattern = std::string(folder) + "\\*.*";
    auto f = platform::systemFileSystem().findFirst(join(d, pattern.c_str()));
    if (f) do
            names.insert(f->name());
        while (f->findNext());
    return names;
}

TEST(FileSystem, NewNamesGoIntoTheFolderAsSpelt) {
    struct Case {
        const char* create;  // a new file, spelt as a script or package might
        const char* folder;  // where it must appear, as spelt on disk
        const char* name;
    };
    const Case cases[] = {
        {"disc\\rsc\\new.txt", "Disc\\RSC", "new.txt"},          // every folder spelt otherwise
        {"Disc\\rsc\\Deep\\x.bin", "Disc\\RSC\\deep", "x.bin"},  // the first folder as spelt
        {"Disc\\RSC\\DEEP\\y.bin", "Disc\\RSC\\deep", "y.bin"},  // only the last folder otherwise
        {"DISC\\new2.txt", "Disc", "new2.txt"},
    };
    ScratchDir d;
    d.write("Disc/RSC/deep/old", "x");
    auto& fs = platform::systemFileSystem();
    for (const Case& c : cases) {
        platform::FilePtr f = fs.openFile(join(d, c.create), "wb");
        ASSERT_TRUE(f) << c.create;
        f.reset();
        EXPECT_EQ(namesIn(d, c.folder).count(c.name), 1u) << c.create;
    }
    EXPECT_TRUE(fs.createFolder(join(d, "disc\\Rsc\\Sub")));
    EXPECT_TRUE(namesIn(d, "Disc\\RSC").count("Sub"));
    // No second spelling of a folder was made on the way.
    EXPECT_EQ(namesIn(d, "."), (std::set<std::string>{"Disc"}));
    EXPECT_EQ(namesIn(d, "Disc\\RSC"), (std::set<std::string>{"new.txt", "deep", "Sub"}));
}

TEST(FileSystem, FindListsMatchesWithoutDotEntries) {
    ScratchDir d;
    d.write("a.mnu", "");
    d.write("B.MNU", "");
    d.write("c.txt", "");
    d.write("folder/x", "");
    auto& fs = platform::systemFileSystem();
    std::set<std::string> names;
    auto f = fs.findFirst(join(d, "*.mnu"));
    ASSERT_TRUE(f);
    do names.insert(f->name());
    while (f->findNext());
    EXPECT_EQ(names, (std::set<std::string>{"a.mnu", "B.MNU"}));

    std::set<std::string> all;
    bool sawFolder = false;
    f = fs.findFirst(join(d, "*.*"));
    ASSERT_TRUE(f);
    do {
        all.insert(f->name());
        if (f->name() == "folder") sawFolder = f->isFolder();
    } while (f->findNext());
    EXPECT_EQ(all, (std::set<std::string>{"a.mnu", "B.MNU", "c.txt", "folder"}));
    EXPECT_TRUE(sawFolder);
    EXPECT_EQ(fs.findFirst(join(d, "*.none")), nullptr);
}

TEST(FileSystem, FileTimesInUtc) {
    ScratchDir d;
    d.write("t.bin", "1234");
    auto& fs = platform::systemFileSystem();
    const std::int64_t access = 946684800;   // 2000-01-01 00:00:00 UTC
    const std::int64_t modify = 1234567890;  // 2009-02-13 23:31:30 UTC
    ASSERT_TRUE(fs.setFileTimes(join(d, "t.bin"), access, modify));
    auto t = std::filesystem::last_write_time(d.path() / "t.bin");
    auto secs = std::chrono::duration_cast<std::chrono::seconds>(
                    std::chrono::file_clock::to_sys(t).time_since_epoch())
                    .count();
    EXPECT_EQ(secs, modify);
    EXPECT_FALSE(fs.setFileTimes(join(d, "missing.bin"), access, modify));
}

// An extraction's folder: names looked at before anything is made (in folders not there yet),
// then made, then found again in any case, by the same object, as one file each.
TEST(FileSystem, OutputFolderNamesAsTheExtractionMeetsThem) {
    ScratchDir d;
    d.write("out/Keep.txt", "kept");
    auto& fs = platform::systemFileSystem();
    std::unique_ptr<platform::OutputFolder> folder = fs.openOutputFolder(join(d, "out"));
    ASSERT_TRUE(folder);
    platform::FileIdentity id, other;
    auto make = [&](const char* name) {
        platform::FilePtr f = folder->createFile(name, platform::CreateMode::Replace, {});
        return f && std::fputs(name, f.get()) >= 0;
    };
    auto known = [&](const char* name) { return folder->identity(name, id); };
    struct Step {
        const char* what;
        std::function<bool()> act;
        bool result;
    } steps[] = {
        {"a name in a missing folder", [&] { return known("sub\\a.txt"); }, false},
        {"another one there", [&] { return known("SUB\\b.txt"); }, false},
        {"an existing file in another case", [&] { return known("keep.TXT"); }, true},
        {"the same file as spelt on disk",
         [&] { return folder->identity("Keep.txt", other) && other == id; }, true},
        {"a file made in the missing folder", [&] { return make("sub\\A.txt"); }, true},
        {"found in the other case", [&] { return known("Sub\\a.TXT"); }, true},
        {"not a name never made", [&] { return known("sub\\b.txt"); }, false},
        {"the existing file written in another case", [&] { return make("KEEP.TXT"); }, true},
        {"a file put there by someone else meanwhile",
         [&] { return d.write("out/late.txt", "x"), known("late.txt"); }, true},
        {"times set in another case",
         [&] { return folder->setFileTimes("SUB\\A.TXT", 946684800, 1234567890); }, true},
    };
    for (const Step& step : steps) EXPECT_EQ(step.act(), step.result) << step.what;
    EXPECT_EQ(namesIn(d, "out"), (std::set<std::string>{"Keep.txt", "sub", "late.txt"}));
    EXPECT_EQ(namesIn(d, "out\\sub"), (std::set<std::string>{"A.txt"}));
    EXPECT_EQ(testing_support::readFile(d.path() / "out" / "Keep.txt"), "KEEP.TXT");
}

TEST(FileSystem, CurrentFolderRoundTrip) {
    ScratchDir d;
    auto& fs = platform::systemFileSystem();
    std::string saved;
    ASSERT_TRUE(fs.currentFolder(saved));
    ASSERT_TRUE(fs.setCurrentFolder(d.str()));
    std::string now;
    ASSERT_TRUE(fs.currentFolder(now));
    EXPECT_TRUE(std::filesystem::equivalent(now, d.path())) << now;
    EXPECT_FALSE(fs.setCurrentFolder(join(d, "missing")));
    ASSERT_TRUE(fs.setCurrentFolder(saved));
}

}  // namespace
