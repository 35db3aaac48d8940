#pragma once
// The four handheld platforms and everything that differs between them, in one table. The
// index (0..3, table order) is a platform everywhere; inside menu data it is its code,
// index + 2.
#include <cstdint>
#include <string>

enum class PlatformCode : std::int32_t { Epoc = 2, N9210 = 3, PocketPc = 4, Palm = 5 };
inline constexpr int PLATFORM_COUNT = 4;

struct HandheldPlatform {
    const char* name;  // "EPOC", "N9210", "POCKETPC", "PALM": script names, device lines
    PlatformCode code;
    int index;
    // The desktop installer: the message when it is not registered, and the one when an
    // unpacked package holds none of its files (null for Palm, which takes a whole folder).
    const char* installerMissing;
    const char* filesMissing;
    const char* packagePattern;  // the file handed over, below the unpack folder; null: Palm
    const char* plainExtension;  // after the base path when there is no package; null: Palm
    const char* checkPattern;    // check mode: after folder\name, what counts as present
    std::uint32_t pollMs;        // how often the running installer is looked at
};

extern const HandheldPlatform platformTable[PLATFORM_COUNT];

// The platform of a name, compared without regard to case; null for none.
const HandheldPlatform* findPlatform(const std::string& name);
// The platform of an index; null outside 0..3.
const HandheldPlatform* platformAt(int index);
// The platform of a code as menu data holds it (an install kind, a menu's platformCode);
// null for any other number.
const HandheldPlatform* platformOfCode(std::int32_t code);
