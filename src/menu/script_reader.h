#pragma once
// Line input of menu scripts: a 1024-byte line buffer as with fgets on a text-mode file
// (a longer physical line goes on as the next line; CR LF reads as a line end).
//
// A script that begins with a byte-order mark is Unicode: it is read as UTF-8 (the mark
// dropped, invalid bytes replaced) and the line rules apply to those bytes; a line cut by the
// buffer is cut between two characters. Any other script is read as its bytes.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

inline constexpr std::size_t SCRIPT_LINE_SIZE = 1024;

class ScriptReader {
public:
    explicit ScriptReader(platform::FilePtr file) : file_(std::move(file)) {}
    // Reads one physical line (with its '\n' when it fits) into out; false at end of file.
    bool readLine(char (&out)[SCRIPT_LINE_SIZE]);
    std::size_t length = 0;  // bytes of the last line read
    // Known once the first line has been read.
    platform::TextEncoding encoding() const {
        return mark_ == platform::FileMark::None ? platform::TextEncoding::Ansi
                                                 : platform::TextEncoding::Utf8;
    }

private:
    bool fill();
    bool fillUnicode();

    platform::FilePtr file_;
    std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(BUFFER_SIZE);
    const char* data_ = nullptr;  // buffer_, or decoded_ for a Unicode script
    std::size_t pos_ = 0, length_ = 0;
    bool started_ = false;
    platform::FileMark mark_ = platform::FileMark::None;
    std::optional<platform::Utf16Decoder> utf16_;
    std::string decoded_;
    std::string carry_;  // the start of a UTF-8 character that the last block cut off
    static constexpr std::size_t BUFFER_SIZE = 64 * 1024;
};

// Removes bytes 1..32 from both ends in place; returns the first kept byte.
char* trimLine(char* line);
char* trimLine(char* line, std::size_t length);

// The next line that is neither empty after trimming nor a ";" comment, trimmed; null at
// end of file.
char* readScriptLine(ScriptReader& reader, char (&buffer)[SCRIPT_LINE_SIZE]);
