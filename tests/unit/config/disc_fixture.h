#pragma once
// A setup data folder in a scratch directory: rsc\rscinfo.ini, the skin bitmaps and text
// files, written as each test needs them.
#include <string>

#include "config/setup_config.h"
#include "support/bmp_writer.h"
#include "support/fakes.h"

class DiscFixture {
public:
    // Every skin bitmap, each 10 + i wide, 5 + i high.
    void writeAllSkins() {
        for (int i = 0; i < SKIN_COUNT; ++i) writeSkin(i);
    }
    void writeSkin(int i) {
        dir.write(std::string("rsc/") + skinFileNames[i],
                  testing_support::solidBmp(10 + i, 5 + i, 0x102030u * (i + 1)));
    }
    void removeSkin(int i) { std::filesystem::remove(dir.path() / "rsc" / skinFileNames[i]); }
    void writeIni(const std::string& content) { dir.write("rsc/rscinfo.ini", content); }
    // The folder as the program names it: with a trailing separator.
    std::string dataDir() const { return dir.str() + SEP; }
    std::string path(const std::string& relative) const { return dataDir() + relative; }

#ifdef _WIN32
    static constexpr const char* SEP = "\\";
#else
    static constexpr const char* SEP = "/";
#endif
    testing_support::ScratchDir dir;
};
