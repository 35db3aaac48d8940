#include "disc/image_volume.h"

#include <cctype>
#include <sstream>

namespace disc {

namespace {

bool isLabelChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The plain capital of a letter of the Western code page; 0 for anything else.
char plainCapital(unsigned char c) {
    if (std::isalnum(c)) return static_cast<char>(std::toupper(c));
    // 0xC0..0xFF: the accented letters, each with its plain letter ('-' for the signs).
    static const char accented[] =
        "AAAAAAACEEEEIIII"
        "DNOOOOO-OUUUUYTS"
        "AAAAAAACEEEEIIII"
        "DNOOOOO-OUUUUYTY";
    if (c >= 0xC0 && accented[c - 0xC0] != '-') return accented[c - 0xC0];
    if (c == 0x8A || c == 0x9A) return 'S';
    if (c == 0x8E || c == 0x9E) return 'Z';
    if (c == 0x9F) return 'Y';
    return 0;
}

std::string trim(const std::string& s) {
    std::size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t") - begin + 1);
}

std::string lowerAscii(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string labelRefusal(const std::string& label) {
    if (label.empty()) return "a label holds at least one character";
    for (char c : label)
        if (!isLabelChar(c)) return "an ISO 9660 label holds only A-Z, 0-9 and _";
    if (label.size() > ISO_LABEL_LIMIT)
        return "longer than " + std::to_string(ISO_LABEL_LIMIT) +
               " characters, the most an ISO 9660 label holds";
    if (label.size() > JOLIET_LABEL_LIMIT)
        return "longer than " + std::to_string(JOLIET_LABEL_LIMIT) +
               " characters, the most a Joliet label (what Windows shows) holds";
    return {};
}

std::string labelFromTitle(const std::string& title) {
    std::string label;
    bool gap = false;
    for (unsigned char c : title) {
        if (char capital = plainCapital(c)) {
            if (gap && !label.empty()) label += '_';
            label += capital;
            gap = false;
        } else {
            gap = true;
        }
    }
    if (label.size() > JOLIET_LABEL_LIMIT) label.resize(JOLIET_LABEL_LIMIT);
    while (!label.empty() && label.back() == '_') label.pop_back();
    if (label.empty()) label = DEFAULT_LABEL;
    return label;
}

std::string makeAutorun(const std::string& label) {
    return "[autorun]\r\nopen=Setup.exe\r\nicon=Setup.exe,0\r\nlabel=" + label + "\r\n";
}

std::string autorunProgram(const std::string& inf) {
    std::istringstream in(inf);
    bool inAutorun = false, found = false;
    std::string program;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            inAutorun = lowerAscii(trim(line.substr(1, close - 1))) == "autorun";
            continue;
        }
        std::size_t eq = line.find('=');
        if (found || !inAutorun || eq == std::string::npos ||
            lowerAscii(trim(line.substr(0, eq))) != "open")
            continue;
        found = true;  // the first one counts, as Windows reads a profile
        std::string value = trim(line.substr(eq + 1));
        if (!value.empty() && value[0] == '"') {
            std::size_t end = value.find('"', 1);
            program = value.substr(1, end == std::string::npos ? end : end - 1);
        } else {
            program = value.substr(0, value.find_first_of(" \t"));
        }
    }
    for (char& c : program)
        if (c == '\\') c = '/';
    if (program.rfind("./", 0) == 0) program.erase(0, 2);
    while (!program.empty() && program[0] == '/') program.erase(0, 1);
    return program;
}

}  // namespace disc
