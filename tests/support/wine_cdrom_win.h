#pragma once
// A drive of type CD-ROM on a folder, through Wine's mount manager (as winecfg makes one);
// removed again when the object goes. Setup looks for its data on the first CD-ROM drive.
#include <string>

namespace testing_support {

class WineCdRom {
public:
    WineCdRom(char letter, const std::string& folder);
    ~WineCdRom();
    WineCdRom(const WineCdRom&) = delete;
    WineCdRom& operator=(const WineCdRom&) = delete;
    bool ok() const { return ok_; }
    // "m:\"
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    bool define(unsigned long type, const char* unixPath);
    char letter_;
    bool ok_ = false;
};

}  // namespace testing_support
