#pragma once
// How a text of this program is held.
//
// A disc file that begins with a byte-order mark (UTF-16LE, UTF-16BE or UTF-8) is Unicode: its
// texts are held as UTF-8, the mark dropped. A file without a mark is ANSI: its texts stay the
// file's bytes, exactly as they always were, and only the Win32 side turns them into
// characters, with the ANSI code page (the PC's, or the one setuptool is told). Whoever holds
// texts says which kind they are (TextEncoding); where texts of both kinds meet, the ANSI one
// is converted to UTF-8 (asUtf8 in code_page.h), never the other way, so nothing is lost.
//
// Setup.exe on Windows holds every text in UTF-8: it converts the texts and names of ANSI files
// (rscinfo.ini, text files, menu scripts) with the ANSI code page as it reads them
// (SetupConfig::ansiAsUtf8, MenuParseEnvironment::ansiAsUtf8), and its windows, file layer,
// registry, processes and shell take UTF-8 alone, through the wide functions
// (platform/win32/wide_text_win.h). One kind inside means no path or text built by concatenation
// can mix kinds, and an ANSI disc converts exactly as the ANSI functions did. Only type-ahead
// still asks where a text came from (convertedFromAnsi), for the byte table of ANSI discs.
// Package entry names are the exception: they stay the code page's bytes, as the package
// format says, and become UTF-8 where the output folder meets the file system.
//
// Decoding never fails: a UTF-16 unit or UTF-8 byte that starts no valid character becomes
// one U+FFFD.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding : unsigned char { Ansi, Utf8 };

enum class FileMark : unsigned char { None, Utf8, Utf16Le, Utf16Be };

// The mark the bytes begin with, and its length in bytes.
FileMark fileMark(std::string_view start);
std::size_t markLength(FileMark mark);

struct DecodedText {
    std::string text;
    TextEncoding encoding = TextEncoding::Ansi;
};
// A whole file: UTF-8 without the mark for a Unicode file, the bytes for any other.
DecodedText decodeFile(std::string_view bytes);

inline constexpr char32_t REPLACEMENT = 0xFFFD;

void appendUtf8(std::string& out, char32_t c);
// The character at pos, moving pos past it; an invalid byte is REPLACEMENT and moves one byte.
char32_t nextCodePoint(std::string_view utf8, std::size_t& pos);
// Valid UTF-8: every invalid byte replaced.
std::string validUtf8(std::string_view text);
// Number of UTF-16 units the text takes (a replaced byte counts one).
std::size_t utf16Length(std::string_view utf8);

std::string utf16ToUtf8(std::u16string_view text);
std::u16string utf8ToUtf16(std::string_view text);

// UTF-16 bytes to UTF-8 in pieces, as a file is read: a unit or a surrogate pair split
// between two pieces is kept for the next one.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    void feed(std::string_view bytes, std::string& out);
    // The end of the input: a high surrogate without its pair is REPLACEMENT; an odd last
    // byte is no character and is dropped.
    void finish(std::string& out);

private:
    void unit(char16_t u, std::string& out);

    bool bigEndian_;
    bool haveByte_ = false;
    unsigned char byte_ = 0;
    char16_t high_ = 0;  // a high surrogate waiting for its pair
};

}  // namespace platform
