#include "run/startup.h"

#include "config/setup_config.h"
#include "platform/file_system.h"

#include <cctype>

CommandLineFlags readCommandLine(const std::string& commandLine) {
    CommandLineFlags flags;
    flags.allPlatforms = commandLine.find("-all") != std::string::npos;
    flags.checkMode = commandLine.find("-check") != std::string::npos;
    flags.previewMode = commandLine.find("-preview") != std::string::npos;
    flags.allPlatforms = flags.allPlatforms || flags.previewMode;
    return flags;
}

std::string folderOf(const std::string& path) {
    std::size_t sep = platform::lastSeparator(path);
    return sep == std::string::npos ? path : path.substr(0, sep + 1);
}

std::string withoutExtension(const std::string& path) {
    std::size_t dot = path.find_last_of('.');
    return dot == std::string::npos ? path : path.substr(0, dot);
}

bool locateSetupData(const std::string& programPath, platform::FileSystem& fs, DriveInfo& drives,
                     std::string& setupDataDir) {
    constexpr std::size_t MAX_PROGRAM_PATH = 1024;
    if (programPath.empty() || programPath.size() >= MAX_PROGRAM_PATH) return false;
    setupDataDir = programPath;
    std::size_t sep = platform::lastSeparator(programPath);
    std::string folder = sep == std::string::npos ? "" : programPath.substr(0, sep + 1);
    std::string fileName = sep == std::string::npos ? programPath : programPath.substr(sep + 1);
    if (fs.exists(folder + "rsc\\rscinfo.ini")) return true;

    std::uint32_t mask = drives.logicalDrives();
    for (int drive = 0; drive < 26; ++drive) {
        if (!(mask & (1u << drive))) continue;
        std::string root = std::string(1, static_cast<char>('a' + drive)) + ":\\";
        if (!drives.isCdRom(root)) continue;
        // Only the first CD-ROM drive counts.
        if (!fs.exists(root + fileName)) return false;
        setupDataDir = root + fileName;
        return true;
    }
    return false;
}

ScreenRect centredRect(int screenWidth, int screenHeight, int width, int height) {
    ScreenRect r;
    r.left = (screenWidth - width) / 2;
    r.top = (screenHeight - height) / 2;
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

namespace {
// Text order without regard to ASCII case, as the C library's stricmp.
int compareNoCase(const std::string& a, const std::string& b) {
    for (std::size_t i = 0;; ++i) {
        int x = i < a.size() ? std::tolower(static_cast<unsigned char>(a[i])) : 0;
        int y = i < b.size() ? std::tolower(static_cast<unsigned char>(b[i])) : 0;
        if (x != y || x == 0) return x - y;
    }
}
}  // namespace

InstanceTest chooseInstanceTest(WindowsFamily family, unsigned majorVersion,
                                const std::string& servicePack) {
    if (family == WindowsFamily::Windows95) return InstanceTest::ByProcessSnapshot;
    if (family != WindowsFamily::NT) return InstanceTest::Fails;
    if (majorVersion < 5 &&
        (servicePack.empty() || compareNoCase(servicePack, "Service Pack 6") < 0))
        return InstanceTest::Passes;
    return InstanceTest::ByProcessStatus;
}
