#pragma once
// ANSI code pages: the bytes of a file without a byte-order mark turned into characters and
// back. Windows-1252 is built in (the code page of Western Windows and setuptool's default);
// others come from the system (the Win32 conversions, or iconv on POSIX).
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace platform {

class CodePage {
public:
    virtual ~CodePage() = default;
    virtual int number() const = 0;
    // Every byte becomes a character; a byte or sequence the code page leaves undefined is
    // U+FFFD (Windows-1252 gives 0x81, 0x8D, 0x8F, 0x90 and 0x9D the C1 controls, as Windows
    // does).
    virtual std::string toUtf8(std::string_view ansi) const = 0;
    // The code page's bytes, or none when a character has no byte of its own there (no
    // look-alike is taken instead).
    virtual std::optional<std::string> fromUtf8(std::string_view utf8) const = 0;
};

const CodePage& windows1252();
// Windows-1252 bytes of UTF-8 text with '?' for each character the code page lacks, as the
// system's own conversion gives them.
std::string windows1252Bytes(std::string_view utf8);

// The code page of that number: the built-in one for 1252, else the system's; null when the
// system knows none of that number.
std::unique_ptr<CodePage> openCodePage(int number);

// The ANSI code page of this process: on Windows the system's, elsewhere Windows-1252 unless
// setAnsiCodePage named another (setuptool --codepage). Null goes back to that default. Set it
// before other threads start: what ansiCodePage gave stays valid only until the next set.
const CodePage& ansiCodePage();
void setAnsiCodePage(std::unique_ptr<CodePage> codePage);

// The text in UTF-8 whatever it is held in.
std::string asUtf8(std::string_view text, TextEncoding encoding);

}  // namespace platform
