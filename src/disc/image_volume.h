#pragma once
// What the root of an image says about the disc: its label, as ISO 9660 and Joliet hold it,
// and autorun.inf, which makes Windows start Setup when the disc is inserted.
#include <cstddef>
#include <string>

namespace disc {

inline constexpr std::size_t ISO_LABEL_LIMIT = 32;     // d-characters: A-Z, 0-9, _
inline constexpr std::size_t JOLIET_LABEL_LIMIT = 16;  // what Windows shows
inline constexpr const char* DEFAULT_LABEL = "SETUP";

// Why a label cannot be the image's; empty when it can.
std::string labelRefusal(const std::string& label);

// A label made from a text of the Western code page (text 1, the title of the disc): letters
// in capitals without their accents, every other run of characters one '_', cut to what
// Joliet holds; DEFAULT_LABEL when nothing is left.
std::string labelFromTitle(const std::string& title);

// The autorun.inf of a disc that brings none: Setup.exe started, its icon and the label.
std::string makeAutorun(const std::string& label);

// The program that the [autorun] section's open= line starts (quotes and arguments taken
// off, a leading ".\" or "\" too), with '/' between its parts; empty when there is none.
std::string autorunProgram(const std::string& inf);

}  // namespace disc
