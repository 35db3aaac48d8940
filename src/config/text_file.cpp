#include "config/text_file.h"

#include <cstdio>

#include "platform/file_system.h"

void readTextFile(platform::FileSystem& fs, const std::string& path, std::string& out) {
    platform::FilePtr f = fs.openFile(path, "rb");
    if (!f) return;
    // Read as the C run-time's text mode would on Windows, whatever system this is: a CR
    // before a line feed is dropped and Ctrl-Z ends the file.
    std::string line;
    bool pending = false;
    int c;
    while ((c = std::fgetc(f.get())) != EOF && c != 0x1A) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            out += line;
            out += "\r\n";
            line.clear();
            pending = false;
        } else {
            line += static_cast<char>(c);
            pending = true;
        }
    }
    if (pending) {
        if (line.back() == '\r') line.pop_back();
        out += line;
        out += "\r\n";
    }
}
