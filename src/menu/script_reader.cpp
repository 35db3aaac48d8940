#include "menu/script_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
bool isBlank(char c) {
    auto v = static_cast<unsigned char>(c);
    return v >= 1 && v <= 32;
}
}  // namespace

bool ScriptReader::fill() {
    length_ = std::fread(buffer_.get(), 1, BUFFER_SIZE, file_.get());
    pos_ = 0;
    return length_ > 0;
}

bool ScriptReader::readLine(char (&out)[SCRIPT_LINE_SIZE]) {
    // Copies whole runs up to the next line feed. A CR LF pair ends the line as a line feed;
    // when the buffer limit falls between CR and LF, the CR stays (a blank that trimming
    // removes) and the LF reads as an empty line, as with a text-mode file.
    std::size_t n = 0;
    while (n < SCRIPT_LINE_SIZE - 1) {
        if (pos_ == length_ && !fill()) break;
        std::size_t scan = std::min(SCRIPT_LINE_SIZE - 1 - n, length_ - pos_);
        const char* start = buffer_.get() + pos_;
        const void* lf = std::memchr(start, '\n', scan);
        std::size_t take = lf ? static_cast<const char*>(lf) - start + 1 : scan;
        std::memcpy(out + n, start, take);
        n += take;
        pos_ += take;
        if (lf) {
            if (n >= 2 && out[n - 2] == '\r') {
                out[n - 2] = '\n';
                --n;
            }
            break;
        }
    }
    out[n] = 0;
    length = n;
    return n > 0;
}

char* trimLine(char* line) {
    return trimLine(line, std::strlen(line));
}

char* trimLine(char* line, std::size_t length) {
    char* end = line + length;
    while (end > line && isBlank(end[-1])) --end;
    *end = 0;
    while (isBlank(*line)) ++line;
    return line;
}

char* readScriptLine(ScriptReader& reader, char (&buffer)[SCRIPT_LINE_SIZE]) {
    while (reader.readLine(buffer)) {
        char* line = trimLine(buffer, reader.length);
        if (*line != 0 && *line != ';') return line;
    }
    return nullptr;
}
