#pragma once
// Unpacking of APK packages: a FileArchive ("KLIV"), optionally wrapped in a compressed
// ArpkLayer ("ARPK"). One extraction at a time; every failure is shown and logged once.
#include <string>

#include "platform/system.h"

// Result codes of the unpacker.
enum ArchiveResult : int {
    ARCHIVE_OK = 0,
    ARCHIVE_ERR_MEMORY = -1,
    ARCHIVE_ERR_IO = -2,       // read, write or seek; working or destination folder unusable
    ARCHIVE_ERR_OPEN = -3,     // package, archive or output file cannot be opened
    ARCHIVE_ERR_INVALID = -4,  // not a valid archive, or a name that leaves the destination
};

// Unpacks the package into destination (created if missing; files of the same names are
// overwritten). Returns 0 or one of the negative codes above.
int extractPackage(const std::string& packagePath, const std::string& destination,
                   const platform::System& system);

// Extracts a plain FileArchive; used by extractPackage.
int extractFileArchive(const std::string& archivePath, const std::string& destination);

// Shows one failure: format with its first "%s" replaced by argument (control bytes escaped),
// appended to "errors.txt" in the working directory (unless a link or special file is in its
// place) and shown in a message box "Error!".
void reportArchiveError(const char* format, const std::string& argument = std::string());
