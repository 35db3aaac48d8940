#pragma once
// Unpacking of APK packages: a FileArchive ("KLIV"), optionally wrapped in a compressed
// ArpkLayer ("ARPK"). One extraction at a time.
#include <string>

#include "archive/archive_result.h"
#include "platform/system.h"

// The package operation: unpacks the package into destination (created if missing; files of
// the same names are overwritten) and shows a failure once. Returns 0 or one of the negative
// codes; context holds the failure and the statistics afterwards.
//
// The failure is appended to "errors.txt" where it happened (in the destination once the
// extractor is in it, else in the working directory; never through a link or special file in
// its place) and shown in a message box "Error!". The working directory is as it was.
int extractPackage(const std::string& packagePath, const std::string& destination,
                   ArchiveContext& context);
int extractPackage(const std::string& packagePath, const std::string& destination,
                   const platform::System& system);

// The unpacking alone: the failure is set on context, nothing is shown or logged, and the
// working directory is left where a failure found it (its log belongs there).
int extractPackageFiles(const std::string& packagePath, const std::string& destination,
                        ArchiveContext& context);
