#pragma once
// The loader's work without its thread: the product folders with menu scripts, the
// configuration and the scripts, over the platform interfaces.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "menu/menu_file.h"
#include "platform/system.h"

class SetupConfig;

// The final commands the loader posts to the splash.
inline constexpr int LOADER_SUCCESS = 1;
inline constexpr int LOADER_FAILURE = 3;

using PlatformFolderLists = std::array<std::vector<std::string>, PLATFORM_COUNT>;

// Appends the name of every folder of setupDataDir (which ends in a separator) to the list of
// each platform whose script it holds, names compared without regard to case, in the order
// the folder search returns them. True when any name was added.
bool scanMenuFolders(platform::FileSystem& fs, const std::string& setupDataDir,
                     PlatformFolderLists& folders);

struct LoaderJob {
    std::string* setupDataDir;  // the program's path on entry, its folder afterwards
    SetupConfig* config;
    MenuFileList* menuFiles;
    bool checkMode = false;  // full parses instead of the heads
    platform::System system;
    std::string messageCaption = "Setup";
    std::FILE* trace = stderr;  // the parser's line trace
};

// Cuts the data folder, finds the scripts, loads the configuration and parses every script;
// LOADER_SUCCESS or LOADER_FAILURE, also when something throws. A script that fails has shown
// the parser's message and then the loader's own.
int runLoader(LoaderJob& job);
