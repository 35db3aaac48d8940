#include "app/system_drives.h"

#include <windows.h>

std::uint32_t SystemDrives::logicalDrives() {
    return ::GetLogicalDrives();
}

bool SystemDrives::isCdRom(const std::string& root) {
    return ::GetDriveTypeA(root.c_str()) == DRIVE_CDROM;
}
