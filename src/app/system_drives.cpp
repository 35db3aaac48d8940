#include "app/system_drives.h"

#include <windows.h>

#include "platform/win32/wide_text_win.h"

std::uint32_t SystemDrives::logicalDrives() {
    return ::GetLogicalDrives();
}

bool SystemDrives::isCdRom(const std::string& root) {
    return ::GetDriveTypeW(platform::win32::wide(root).c_str()) == DRIVE_CDROM;
}
