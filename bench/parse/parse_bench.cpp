// Menu parser benchmark: "gen FILE" writes a script of 999 menus with 50 to 300 options each;
// "parse FILE" parses it fully and prints the time, the texts' size and the peak memory the
// parse added.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "menu/menu_parser.h"

namespace {

long statusKiB(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
    return -1;
}

int generate(const char* path) {
    std::mt19937 rng(1234);
    static const char* const words[] = {"Calculator", "Organizer",  "Deluxe", "Viewer", "Games",
                                        "Maps",       "Dictionary", "Notes",  "Pro",    "Lite",
                                        "Edition",    "Player",     "Tools",  "Travel", "Office"};
    auto phrase = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            if (i) s += ' ';
            s += words[rng() % 15];
        }
        return s;
    };
    std::ofstream out(path, std::ios::binary);
    out << "PALM\r\n999\r\nBenchmark Collection\r\nVersion 1.0\r\nhttp://example.com/\r\n";
    for (int m = 0; m < 999; ++m) {
        int count = 50 + static_cast<int>(rng() % 251);
        out << "MENU " << m << ' ' << count << (m % 2 ? " RADIOBUTTONS" : " LIST") << "\r\n";
        out << "TITLE\r\n"
            << phrase(3) << "\r\n*\r\nTOPTEXT\r\n"
            << phrase(12) << "\r\n"
            << phrase(10) << "\r\n*\r\n";
        for (int o = 0; o < count; ++o) {
            switch (rng() % 4) {
                case 0: out << "I\r\n" << phrase(4) << "\r\npkg" << m << '_' << o << "\r\n"; break;
                case 1:
                    out << "HTMLOPTION\r\n" << phrase(4) << "\r\ndocs\\page" << o << ".htm\r\n";
                    break;
                case 2:
                    out << "MENUOPTION\r\n" << phrase(3) << "\r\n" << (m + 1) % 999 << "\r\n";
                    break;
                default:
                    out << "EXEOPTION\r\n" << phrase(3) << "\r\ntools\\run" << o << ".exe\r\n";
                    break;
            }
        }
    }
    out << "END\r\n";
    return 0;
}

int parse(const char* path) {
    MenuParseEnvironment env;
    env.system = platform::consoleSystem();
    long before = statusKiB("VmRSS:");
    auto t0 = std::chrono::steady_clock::now();
    MenuFilePtr file;
    int r = parseMenuScript(path, file, false, false, env);
    auto t1 = std::chrono::steady_clock::now();
    long peak = statusKiB("VmHWM:");
    if (r != 0) return 1;
    double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
    std::printf("parse_ms %.1f\ntext_bytes %zu\nadded_peak_kib %ld\n", ms, file->textBytes(),
                peak - before);
    return 0;
}

// The peer: the same file read line by line with a plain loop.
int plainRead(const char* path) {
    auto t0 = std::chrono::steady_clock::now();
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return 1;
    char line[1024];
    long lines = 0;
    while (std::fgets(line, sizeof line, f)) ++lines;
    std::fclose(f);
    auto t1 = std::chrono::steady_clock::now();
    std::printf("read_ms %.2f\nlines %ld\n",
                std::chrono::duration<double, std::milli>(t1 - t0).count(), lines);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "gen") == 0) return generate(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "parse") == 0) return parse(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "read") == 0) return plainRead(argv[2]);
    std::fprintf(stderr, "usage: bench_parse gen|parse|read FILE\n");
    return 2;
}
