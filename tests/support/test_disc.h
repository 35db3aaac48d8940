#pragma once
// Setup data folders written into scratch folders: the settings with their skins, and the
// disc of the check-mode tests together with the report expected of it.
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/fakes.h"

namespace testing_support {

// at (relative to dir, "" for dir itself) gets rsc\rscinfo.ini of one language whose texts
// name their numbers, except text 1 "Sample Setup" and text 16 "No desktop software for any
// handheld was found.", the splash colour 0xRRGGBB, and the twelve skins that must exist
// (not "slogo.bmp").
void writeDiscSettings(const ScratchDir& dir, const std::string& at, std::uint32_t splashRgb = 0);

// Two product folders with all four platforms' scripts, whose menus are complete, miss a
// package folder, a document, a package in each platform's form, or name web and mail
// targets.
void writeCheckDisc(const ScratchDir& dir, const std::string& at);
// The report of that disc; dataDir is the setup data folder as the program names it, ending
// in its separator.
std::string expectedCheckReport(const std::string& dataDir);

// A disc of two languages (English, Deutsch) with the sample disc's skins (from
// sampleRsc) and one script, Faults\PALM.mnu, whose pages hold exactly these faults: a label
// too long for its row in German only (menu 1, option 0), a reference to a text German lacks
// (menu 1, option 1, text 26), a top text that must shrink below 7 points (menu 2) and a
// radio menu of 10 options with a bottom text (menu 3), both in English only.
void writePreviewFaultsDisc(const ScratchDir& dir, const std::string& at,
                            const std::filesystem::path& sampleRsc);

// Every name under root with its kind, size, time stamp and CRC-32, one a line, in order: two
// listings differ when anything was written under root.
std::string treeDigest(const std::filesystem::path& root);

// Joins lines with CR LF.
std::string crlf(std::initializer_list<const char*> lines);

}  // namespace testing_support
