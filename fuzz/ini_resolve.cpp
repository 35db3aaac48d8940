// Settings files of any content, read by the portable profile reader and by SetupConfig, and
// text references expanded against the texts they give. Input: the settings file, then a
// zero byte, then the text to expand; the first byte picks a language.
#include <cstring>
#include <string>

#include "config/profile_reader.h"
#include "config/setup_config.h"
#include "fuzz_support.h"

namespace {

// The skin bitmaps a disc needs before its texts are read: 1x1 pictures, written once.
void writeSkins() {
    static bool done = false;
    if (done) return;
    const unsigned char bmp[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0,  54, 0, 0, 0, 40, 0, 0, 0, 1,
                                   0,   0,   0,  1, 0, 0, 0, 1, 0, 24, 0,  0, 0, 0, 0,  4, 0, 0, 0};
    std::string rsc = fuzzing::scratchFolder() + "rsc";
    platform::systemFileSystem().createFolder(rsc);
    for (const char* name : skinFileNames)
        fuzzing::writeScratchFile(std::string("rsc/") + name, bmp, sizeof bmp);
    done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    writeSkins();
    const std::uint8_t pick = data[0];
    ++data;
    --size;
    const void* zero = std::memchr(data, 0, size);
    std::size_t iniSize = zero ? static_cast<const std::uint8_t*>(zero) - data : size;
    std::string source =
        zero ? std::string(reinterpret_cast<const char*>(data) + iniSize + 1, size - iniSize - 1)
             : std::string("%04a|b|c");
    fuzzing::writeScratchFile("rsc/rscinfo.ini", data, iniSize);

    platform::System sys = fuzzing::confinedSystem();
    auto reader = openPortableProfile(*sys.fs, fuzzing::scratchFolder() + "rsc/rscinfo.ini");
    volatile std::size_t sum = reader->readString("lang0", "text0", "").size();
    sum += static_cast<std::size_t>(reader->readInt("Colours", "splashR", 7));
    sum += reader->readString(source.substr(0, 16), source.substr(0, 8), "x").size();
    sum += reader->readText(source.substr(0, 16), source.substr(0, 8), "x").size();

    SetupConfig config(sys.fs);
    config.unicodeTexts = (pick & 0x10) != 0;
    if ((pick & 0xE0) == 0xE0) {
        // The whole load now and then: it reads thirteen pictures first.
        if (config.load(fuzzing::scratchFolder())) {
            config.selectLanguage(pick % 13);
            sum += config.getText(pick % 40).size();
            sum += config.getSplashColour() + config.getCaptionColour();
        }
    } else {
        // Otherwise the texts of one section, as the language selection reads them.
        const std::string section = "lang" + std::to_string(pick % 13);
        for (int n = 0; n < 64; ++n) {
            std::string value = reader->readString(section, "text" + std::to_string(n), "");
            if (value.empty()) break;
            config.texts.push_back(value);
        }
    }
    sum += config.resolveText(source).size();
    sum += config
               .resolveUtf8(source, (pick & 0x08) ? platform::TextEncoding::Utf8
                                                  : platform::TextEncoding::Ansi)
               .size();
    return 0;
}
