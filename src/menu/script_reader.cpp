#include "menu/script_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
bool isBlank(char c) {
    auto v = static_cast<unsigned char>(c);
    return v >= 1 && v <= 32;
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Bytes at the end of a block that begin a UTF-8 character the block does not finish.
std::size_t unfinishedTail(const std::string& bytes) {
    for (std::size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
        auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) continue;
        std::size_t need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return need > back ? back : 0;
    }
    return 0;
}
}  // namespace

bool ScriptReader::fill() {
    length_ = std::fread(buffer_.get(), 1, BUFFER_SIZE, file_.get());
    data_ = buffer_.get();
    pos_ = 0;
    if (!started_) {
        started_ = true;
        mark_ = platform::fileMark(std::string_view(data_, length_));
        pos_ = platform::markLength(mark_);
        if (mark_ == platform::FileMark::Utf16Le || mark_ == platform::FileMark::Utf16Be)
            utf16_.emplace(mark_ == platform::FileMark::Utf16Be);
    }
    if (mark_ != platform::FileMark::None) return fillUnicode();
    return length_ > 0;
}

// Turns the block just read into whole UTF-8 characters.
bool ScriptReader::fillUnicode() {
    for (;;) {
        std::string_view raw(data_ + pos_, length_ - pos_);
        decoded_.clear();
        if (utf16_) {
            utf16_->feed(raw, decoded_);
            if (length_ == 0) utf16_->finish(decoded_);
        } else {
            std::string bytes = std::move(carry_);
            bytes.append(raw);
            std::size_t tail = length_ == 0 ? 0 : unfinishedTail(bytes);
            carry_ = bytes.substr(bytes.size() - tail);
            bytes.resize(bytes.size() - tail);
            decoded_ = platform::validUtf8(bytes);
        }
        if (!decoded_.empty() || length_ == 0) break;
        length_ = std::fread(buffer_.get(), 1, BUFFER_SIZE, file_.get());
        pos_ = 0;
    }
    data_ = decoded_.data();
    length_ = decoded_.size();
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
        const char* start = data_ + pos_;
        const void* lf = std::memchr(start, '\n', scan);
        std::size_t take = lf ? static_cast<const char*>(lf) - start + 1 : scan;
        // A full line of a Unicode script ends before a character that does not fit whole.
        bool cut = false;
        if (!lf && mark_ != platform::FileMark::None && take < length_ - pos_) {
            while (take > 0 && isContinuation(start[take])) --take;
            cut = take < scan;
        }
        std::memcpy(out + n, start, take);
        n += take;
        pos_ += take;
        if (cut) break;
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
