#pragma once
// Check mode: every file the menu scripts refer to is looked for, and what is missing is
// written to the report, menu by menu.
#include <cstdio>
#include <string>

#include "menu/menu_file.h"
#include "platform/system.h"

inline constexpr std::uint32_t CHECK_PROGRESS_MS = 500;

struct CheckOutcome {
    bool foldersPresent = true;  // every menu's package folder exists
    bool allOk = true;           // every menu checked got "All OK."
    bool completed = true;       // false when the user cancelled
};

// Writes "Directory"/"File" and the path folder\name to report when nothing exists there,
// and clears ok. Web and mail targets ("http://", "mailto://", exact case) are not looked at.
void checkPath(bool& ok, std::FILE* report, const std::string& folder, const std::string& name,
               bool isFolder, platform::FileSystem& fs);

// Checks every menu of every file, in list and menu-number order, into report (CR LF lines),
// with a progress display of the standard caption and a Cancel button. A cancel leaves the
// report as far as it got.
CheckOutcome checkAllMenus(std::FILE* report, const MenuFileList& menuFiles,
                           const platform::System& system);
