#pragma once
#include "run/startup.h"

// The machine's drives through the Win32 calls.
class SystemDrives : public DriveInfo {
public:
    std::uint32_t logicalDrives() override;
    bool isCdRom(const std::string& root) override;
};
