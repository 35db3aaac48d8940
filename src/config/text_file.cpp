#include "config/text_file.h"

#include <cstdio>

#include "platform/file_system.h"
#include "platform/text_encoding.h"

std::size_t readTextFile(platform::FileSystem& fs, const std::string& path, std::string& out,
                         std::size_t limit, platform::TextEncoding* encoding) {
    platform::FilePtr f = fs.openRegularFile(path);
    if (!f) return 0;
    // The whole file first, within the limit: a text is shown whole or not at all.
    std::string bytes;
    char buffer[16384];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        if (n > limit - bytes.size()) return 0;
        bytes.append(buffer, n);
    }
    platform::DecodedText text = platform::decodeFile(bytes);
    if (encoding) *encoding = text.encoding;
    // Read as the C run-time's text mode would on Windows, whatever system this is: a CR
    // before a line feed is dropped and Ctrl-Z ends the file.
    std::string line;
    bool pending = false;
    for (char c : text.text) {
        if (c == 0x1A) break;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out += line;
            out += "\r\n";
            line.clear();
            pending = false;
        } else {
            line += c;
            pending = true;
        }
    }
    if (pending) {
        if (line.back() == '\r') line.pop_back();
        out += line;
        out += "\r\n";
    }
    return bytes.size();
}
