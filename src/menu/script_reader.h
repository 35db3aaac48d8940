#pragma once
// Line input of menu scripts: a 1024-byte line buffer as with fgets on a text-mode file
// (a longer physical line goes on as the next line; CR LF reads as a line end).
#include <cstddef>
#include <memory>

#include "platform/file_system.h"

inline constexpr std::size_t SCRIPT_LINE_SIZE = 1024;

class ScriptReader {
public:
    explicit ScriptReader(platform::FilePtr file) : file_(std::move(file)) {}
    // Reads one physical line (with its '\n' when it fits) into out; false at end of file.
    bool readLine(char (&out)[SCRIPT_LINE_SIZE]);
    std::size_t length = 0;  // bytes of the last line read

private:
    bool fill();

    platform::FilePtr file_;
    std::unique_ptr<char[]> buffer_ = std::make_unique<char[]>(BUFFER_SIZE);
    std::size_t pos_ = 0, length_ = 0;
    static constexpr std::size_t BUFFER_SIZE = 64 * 1024;
};

// Removes bytes 1..32 from both ends in place; returns the first kept byte.
char* trimLine(char* line);
char* trimLine(char* line, std::size_t length);

// The next line that is neither empty after trimming nor a ";" comment, trimmed; null at
// end of file.
char* readScriptLine(ScriptReader& reader, char (&buffer)[SCRIPT_LINE_SIZE]);
