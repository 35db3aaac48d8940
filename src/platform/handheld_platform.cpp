#include "platform/handheld_platform.h"

#include <strings.h>

const HandheldPlatform platformTable[PLATFORM_COUNT] = {
    {"EPOC", PlatformCode::Epoc, 0, "Could not locate the Psion Installer!",
     "Could not find any Psion files!", "\\*.sis", ".sis", ".sis", 500},
    {"N9210", PlatformCode::N9210, 1, "Could not locate the Nokia Installer!",
     "Could not find any NOKIA files!", "\\n9210\\*.sis", ".sis", ".sis", 500},
    {"POCKETPC", PlatformCode::PocketPc, 2, "Could not locate the Pocket PC Installer!",
     "Could not find any Pocket PC files!", "\\*.ini", ".ini", ".ini", 500},
    {"PALM", PlatformCode::Palm, 3, "Could not locate the Palm Installer!", nullptr, nullptr,
     nullptr, "\\*.*", 100},
};

const HandheldPlatform* findPlatform(const std::string& name) {
    for (const HandheldPlatform& p : platformTable)
        if (::strcasecmp(name.c_str(), p.name) == 0) return &p;
    return nullptr;
}

const HandheldPlatform* platformAt(int index) {
    return index >= 0 && index < PLATFORM_COUNT ? &platformTable[index] : nullptr;
}

const HandheldPlatform* platformOfCode(std::int32_t code) {
    for (const HandheldPlatform& p : platformTable)
        if (static_cast<std::int32_t>(p.code) == code) return &p;
    return nullptr;
}
