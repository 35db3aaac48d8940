#include "menu/script_reader.h"

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

int ScriptReader::get() {
    if (pos_ == length_ && !fill()) return EOF;
    return static_cast<unsigned char>(buffer_[pos_++]);
}

int ScriptReader::peek() {
    if (pos_ == length_ && !fill()) return EOF;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool ScriptReader::readLine(char (&out)[SCRIPT_LINE_SIZE]) {
    std::size_t n = 0;
    while (n < SCRIPT_LINE_SIZE - 1) {
        int c = get();
        if (c == EOF) break;
        if (c == '\r' && peek() == '\n') c = get();
        out[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    out[n] = 0;
    return n > 0;
}

char* trimLine(char* line) {
    while (isBlank(*line)) ++line;
    std::size_t n = std::strlen(line);
    while (n > 0 && isBlank(line[n - 1])) --n;
    line[n] = 0;
    return line;
}

char* readScriptLine(ScriptReader& reader, char (&buffer)[SCRIPT_LINE_SIZE]) {
    while (reader.readLine(buffer)) {
        char* line = trimLine(buffer);
        if (*line != 0 && *line != ';') return line;
    }
    return nullptr;
}
