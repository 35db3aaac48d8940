// The install operations with real packages and the registered stand-in installers.
#include <gtest/gtest.h>

#include <cstdio>

#include "actions/package_installer.h"
#include "archive/archive_writer.h"
#include "platform/win32/handle_win.h"
#include "support/fakes.h"
#include "wine_support.h"

namespace {

using namespace wine_support;

struct PackageFile {
    std::string name, data;
};

std::string fileLine(const std::string& path, const std::string& data) {
    char tail[32];
    std::snprintf(tail, sizeof tail, "|%u|%08X\r\n", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(crc32(data)));
    return "file=" + path + tail;
}

bool folderIsEmpty(const std::string& folder) {
    WIN32_FIND_DATAA d;
    platform::win32::FindHandle h(::FindFirstFileA((folder + "\\*").c_str(), &d));
    if (!h) return true;
    do {
        std::string n = d.cFileName;
        if (n != "." && n != "..") return false;
    } while (::FindNextFileA(h.get(), &d));
    return true;
}

class InstallWithStandins : public testing::Test {
protected:
    void SetUp() override {
        temp = scratch.str() + "\\tmp dir";
        ASSERT_TRUE(::CreateDirectoryA(temp.c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryA((scratch.str() + "\\disc").c_str(), nullptr));
        ::GetEnvironmentVariableA("TMP", savedTmp, sizeof savedTmp);
        ::SetEnvironmentVariableA("TMP", temp.c_str());
    }
    void TearDown() override { ::SetEnvironmentVariableA("TMP", savedTmp); }

    // Writes disc\<name>.APK and returns the base path.
    std::string makePackage(const std::string& name, const std::vector<PackageFile>& files) {
        std::vector<ArchiveEntry> entries;
        for (const auto& f : files) entries.push_back({f.name, f.data, 0, 0});
        std::string bytes, error;
        EXPECT_TRUE(buildFileArchive(entries, bytes, error)) << error;
        std::string base = scratch.str() + "\\disc\\" + name;
        EXPECT_TRUE(writeFileText(base + ".APK", bytes));
        return base;
    }

    testing_support::ScratchDir scratch;
    testing_support::FakeSystem sys;
    std::string temp;
    char savedTmp[MAX_PATH] = "";
};

TEST_F(InstallWithStandins, EachPlatformGetsItsFilesFromATemporaryFolder) {
    const std::string sis = "EPOC package", sis9210 = "N9210 package", ini = "[CEAppManager]";
    std::string epocBase =
        makePackage("My App", {{"app.sis", sis}, {"n9210\\app9210.sis", sis9210}});
    std::string ppcBase = makePackage("Pocket", {{"device.ini", ini}, {"device.cab", "cab"}});
    std::string dir = standinDir();
    std::string unpacked = temp + "\\Setup-000003E8";
    struct Case {
        int platform;
        std::string base, program, file, data;
    } cases[] = {
        {0, epocBase, dir + "\\EPOC Install.exe", unpacked + "\\My App\\app.sis", sis},
        {1, epocBase, dir + "\\EPOC Install.exe", unpacked + "\\My App\\n9210\\app9210.sis",
         sis9210},
        {2, ppcBase, dir + "\\CEAPPMGR.exe", unpacked + "\\Pocket\\device.ini", ini},
    };
    for (const Case& c : cases) {
        StandinLog log(scratch.str());
        auto services = actions::systemActionServices(sys.system());
        actions::InstallerFinder finder(platform::systemRegistry());
        actions::PackageInstaller installer(services, finder, "Setup");
        EXPECT_TRUE(installer.installForPlatform(c.platform, c.base)) << c.platform;
        std::string record = log.read();
        EXPECT_NE(record.find("cmdline=\"" + c.program + "\" \"" + c.file + "\"\r\n"),
                  std::string::npos)
            << record;
        EXPECT_NE(record.find(fileLine(c.file, c.data)), std::string::npos) << record;
        EXPECT_NE(record.find("exit "), std::string::npos) << "waited for the end";
        EXPECT_TRUE(folderIsEmpty(temp)) << "temporary folder removed";
    }
    EXPECT_TRUE(sys.messages.messages.empty());
}

TEST_F(InstallWithStandins, PalmGetsEveryFileOfItsFolder) {
    std::string base = makePackage(
        "Palm App",
        {{"palm\\one.prc", "one"}, {"palm\\two.pdb", "two!"}, {"palm\\sub\\x.prc", "x"}});
    StandinLog log(scratch.str());
    auto services = actions::systemActionServices(sys.system());
    actions::InstallerFinder finder(platform::systemRegistry());
    actions::PackageInstaller installer(services, finder, "Setup");
    EXPECT_TRUE(installer.installPalmPackage(base));
    std::string folder = temp + "\\Setup-000003E8\\Palm App\\palm\\";
    std::string record = log.read();
    std::string program = "cmdline=\"" + standinDir() + "\\Palm Install.exe\" ";
    std::string one = "\"" + folder + "one.prc\" ", two = "\"" + folder + "two.pdb\" ";
    EXPECT_TRUE(record.find(program + one + two + "\r\n") != std::string::npos ||
                record.find(program + two + one + "\r\n") != std::string::npos)
        << record;
    EXPECT_NE(record.find(fileLine(folder + "one.prc", "one")), std::string::npos) << record;
    EXPECT_NE(record.find(fileLine(folder + "two.pdb", "two!")), std::string::npos) << record;
    EXPECT_EQ(record.find("x.prc"), std::string::npos);
    EXPECT_TRUE(folderIsEmpty(temp));
}

TEST_F(InstallWithStandins, CancelEndsTheWaitAndTheInstallerGoesOn) {
    std::string base = makePackage("Held", {{"held.sis", "held"}});
    StandinLog log(scratch.str());
    std::string hold = scratch.str() + "\\release";
    ::SetEnvironmentVariableA("STANDIN_HOLD", hold.c_str());
    auto services = actions::systemActionServices(sys.system());
    actions::InstallerFinder finder(platform::systemRegistry());
    actions::PackageInstaller installer(services, finder, "Setup");
    // The user cancels once the installer has taken its files.
    installer.setCancelCheck([&] { return log.read().find("end\r\n") != std::string::npos; });
    EXPECT_TRUE(installer.installPsionPackage(base));
    ::SetEnvironmentVariableA("STANDIN_HOLD", nullptr);
    EXPECT_EQ(log.read().find("exit "), std::string::npos) << "the installer still runs";
    EXPECT_TRUE(folderIsEmpty(temp));
    ASSERT_TRUE(writeFileText(hold, ""));
    EXPECT_TRUE(waitUntil([&] { return log.read().find("exit ") != std::string::npos; }));
}

// Runs a program with standard output into a file; its exit code, or -1.
TEST_F(InstallWithStandins, SetuptoolRunsOneInstallOperation) {
    std::string base = makePackage("Tool Pkg", {{"tool.sis", "tool"}});
    StandinLog log(scratch.str());
    std::string tool = "\"" + binDir() + "\\setuptool.exe\" install ";
    std::string out = scratch.str() + "\\out.txt";
    EXPECT_EQ(runCapturing(tool + "epoc \"" + base + "\"", out), 0);
    EXPECT_NE(readFileText(out).find("{\"result\":true}"), std::string::npos) << readFileText(out);
    EXPECT_NE(log.read().find("\\Tool Pkg\\tool.sis\"\r\n"), std::string::npos) << log.read();
    EXPECT_TRUE(folderIsEmpty(temp));

    // A package without the platform's files: the message, and false.
    EXPECT_EQ(runCapturing(tool + "POCKETPC \"" + base + "\"", out), 1);
    std::string text = readFileText(out);
    EXPECT_NE(text.find("Could not find any Pocket PC files!"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"result\":false}"), std::string::npos) << text;
    EXPECT_TRUE(folderIsEmpty(temp));
}

}  // namespace
