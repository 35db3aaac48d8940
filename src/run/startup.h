#pragma once
// Window-free decisions of the start-up sequence.
#include <cstdint>
#include <string>

#include "rules/wizard_types.h"

namespace platform {
class FileSystem;
}

struct CommandLineFlags {
    bool allPlatforms = false;
    bool checkMode = false;
    bool previewMode = false;  // "-preview": pictures of every page; implies "-all"
};

// "-all", "-check" and "-preview" anywhere in the whole command line, case-sensitive
// substrings: the program path counts too.
CommandLineFlags readCommandLine(const std::string& commandLine);

// How the single-instance test is made on the Windows the program runs on.
enum class InstanceTest {
    Fails,              // unknown platform or no version: counts as another instance
    Passes,             // NT before 5 below service pack 6: no look at the processes
    ByProcessSnapshot,  // the Windows 95 family
    ByProcessStatus,    // NT 4 with service pack 6 or later, NT 5 and later: PSAPI
};
enum class WindowsFamily { Unknown, Windows95, NT };
InstanceTest chooseInstanceTest(WindowsFamily family, unsigned majorVersion,
                                const std::string& servicePack);

// The drives of the machine, for the look for setup data on a CD-ROM.
class DriveInfo {
public:
    virtual ~DriveInfo() = default;
    virtual std::uint32_t logicalDrives() = 0;          // bit 0 is A:
    virtual bool isCdRom(const std::string& root) = 0;  // root as "d:\"
};

// Finds the setup data: beside the program when its folder holds rsc\rscinfo.ini, else on
// the first CD-ROM drive when its root holds a file named like the program (only the first
// CD-ROM drive is looked at). On success setupDataDir is the program's path or its
// counterpart on the CD-ROM root.
bool locateSetupData(const std::string& programPath, platform::FileSystem& fs, DriveInfo& drives,
                     std::string& setupDataDir);

// The path up to and including its last backslash or slash; unchanged without one.
std::string folderOf(const std::string& path);
// The path without its extension (up to the last point).
std::string withoutExtension(const std::string& path);

struct ScreenRect;
// A rectangle of the given size centred on a screen (integer halves).
ScreenRect centredRect(int screenWidth, int screenHeight, int width, int height);
