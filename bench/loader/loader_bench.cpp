// Loader benchmark: "gen DIR" writes a disc of 200 product folders with all four platforms'
// scripts (20 menus of 40 options each); "load DIR [--check]" runs the loader on it, heads
// only or (check mode) complete, and prints the time and the number of scripts.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "run/loader.h"
#include "config/setup_config.h"

namespace {

constexpr int FOLDERS = 200;
constexpr int MENUS = 20;
constexpr int OPTIONS = 40;

void put(const std::filesystem::path& p, const std::string& content) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

// A 1 x 1 24-bit bitmap: enough for the header reader the portable loader uses.
std::string tinyBmp() {
    unsigned char b[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                           0,   0,   0,  1, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24, 0};
    return std::string(reinterpret_cast<char*>(b), sizeof b);
}

std::string script(const char* platform, int folder) {
    std::string s = std::string(platform) + "\r\n" + std::to_string(MENUS) + "\r\nProduct " +
                    std::to_string(folder) + "\r\n1.0\r\nhttp://example.com/\r\n";
    for (int m = 0; m < MENUS; ++m) {
        s += "MENU " + std::to_string(m) + " " + std::to_string(OPTIONS) + " LIST\r\n";
        s += "TITLE\r\nA page of the product\r\n*\r\nTOPTEXT\r\nChoose what to install.\r\n*\r\n";
        for (int o = 0; o < OPTIONS; ++o)
            s += o % 2 ? "I\r\nA package with a name\r\npkg" + std::to_string(o) + "\r\n"
                       : "HTMLOPTION\r\nRead about it\r\ndoc" + std::to_string(o) + ".htm\r\n";
    }
    return s + "END\r\n";
}

int generate(const std::filesystem::path& dir) {
    put(dir / "rsc" / "rscinfo.ini",
        "[Language]\r\nlang0=English\r\n[lang0]\r\ntext0=Setup\r\ntext1=Bench\r\n");
    for (const char* name : skinFileNames) put(dir / "rsc" / name, tinyBmp());
    for (int f = 0; f < FOLDERS; ++f)
        for (int p = 0; p < PLATFORM_COUNT; ++p)
            put(dir / ("Product" + std::to_string(f)) /
                    (std::string(platformTable[p].name) + ".mnu"),
                script(platformTable[p].name, f));
    return 0;
}

int load(const std::string& dir, bool check) {
    std::string dataDir = std::filesystem::absolute(dir).string() + "/Setup.exe";
    SetupConfig config;
    MenuFileList files;
    LoaderJob job{&dataDir, &config, &files, check, platform::consoleSystem(), "Setup", nullptr};
    auto start = std::chrono::steady_clock::now();
    int result = runLoader(job);
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("load_ms %.2f scripts %zu result %d\n", ms, files.size(), result);
    return result == LOADER_SUCCESS ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "gen") == 0) return generate(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "load") == 0)
        return load(argv[2], argc > 3 && std::strcmp(argv[3], "--check") == 0);
    std::fprintf(stderr, "usage: bench_loader gen DIR | load DIR [--check]\n");
    return 2;
}
