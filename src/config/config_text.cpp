// Texts of the configuration: text files and text references of menu scripts.
#include <cstdio>

#include "config/setup_config.h"
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

std::string SetupConfig::loadTextFile(const std::string& path) const {
    std::string out;
    readTextFile(*fs_, path, out);
    return out;
}

std::string SetupConfig::resolveText(const std::string& source) const {
    if (source.size() < 2 || source[0] != '%' || source[1] != '0') return source;
    const std::size_t length = source.size();
    std::size_t p = 2;
    while (p < length && p < length - 1 && source[p] >= '0' && source[p] <= '9') ++p;
    // The number is every digit after the '%'; a huge one simply names no text.
    long long n = 0;
    for (std::size_t i = 1; i < length && source[i] >= '0' && source[i] <= '9'; ++i)
        if (n < 1000000000) n = n * 10 + (source[i] - '0');
    std::string w = getText(n > 1000000000 ? -1 : static_cast<int>(n));
    if (w.empty()) return source;

    std::string args;
    std::size_t from = 0;
    for (std::size_t q; (q = w.find("%s", from)) != std::string::npos;) {
        if (args.empty()) args = source.substr(p);
        const long last = static_cast<long>(args.size()) - 1;
        std::size_t bar = args.find('|');
        const long b = bar == std::string::npos ? last : static_cast<long>(bar);
        std::string piece = b < last ? args.substr(0, static_cast<std::size_t>(b)) : args;
        w = w.substr(0, q) + piece + w.substr(q + 2);
        // Look for the next place after the inserted piece, so an argument that holds
        // "%s" itself is not expanded again and again.
        from = q + piece.size();
        if (b < last) args = args.substr(static_cast<std::size_t>(b) + 1);
    }
    return w;
}
