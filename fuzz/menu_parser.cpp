// Menu scripts of any content, parsed fully and header-only. The first byte picks the
// platform file name and the mode. The rest is cut at NUL bytes into the script and the
// files that SWITCHTO lines can reach: a fixed set of names in the scratch folder, one in a
// sub-folder, so chains, loops and other spellings of one file are all within reach. Run with
// a time limit per input (scripts/fuzz-short does), so that a parse that never ends is
// reported as a hang.
#include "menu/menu_parser.h"
#include "fuzz_support.h"

#include <cstring>
#include <filesystem>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const char* const names[] = {"EPOC.mnu", "N9210.mnu", "POCKETPC.mnu", "PALM.mnu"};
    const char* const others[] = {"more.mnu", "a.mnu", "sub/b.mnu"};
    static const bool folders =
        std::filesystem::create_directories(fuzzing::scratchFolder() + "sub");
    (void)folders;
    std::uint8_t pick = data[0];
    const std::uint8_t* end = data + size;
    const std::uint8_t* piece = data + 1;
    auto nextPiece = [&] {
        const std::uint8_t* stop = static_cast<const std::uint8_t*>(
            std::memchr(piece, 0, static_cast<std::size_t>(end - piece)));
        if (!stop) stop = end;
        std::size_t length = static_cast<std::size_t>(stop - piece);
        const std::uint8_t* start = piece;
        piece = stop < end ? stop + 1 : end;
        return std::make_pair(start, length);
    };
    auto [script, scriptLength] = nextPiece();
    // Bit 0x40: the script as a UTF-16 file, each byte one unit, so that the decoding of
    // Unicode scripts is reached although the pieces are cut at NUL bytes.
    std::vector<std::uint8_t> wide;
    if (pick & 0x40) {
        wide = {0xFF, 0xFE};
        for (std::size_t i = 0; i < scriptLength; ++i) wide.insert(wide.end(), {script[i], 0});
        script = wide.data();
        scriptLength = wide.size();
    }
    std::string path = fuzzing::writeScratchFile(names[pick & 3], script, scriptLength);
    // Files the input does not give are left out, so "not found" is reachable too.
    for (const char* other : others) {
        if (piece < end) {
            auto [text, length] = nextPiece();
            fuzzing::writeScratchFile(other, text, length);
        } else {
            fuzzing::removeScratch(other);
        }
    }
    MenuParseEnvironment env;
    env.system = fuzzing::confinedSystem();
    env.trace = nullptr;
    env.languageCount = (pick >> 3) & 3;
    MenuFilePtr file;
    parseMenuScript(path, file, (pick & 4) != 0, (pick & 0x80) != 0, env);
    if (file) {
        // Everything stored must be readable: walk it all.
        std::size_t sum = 0;
        for (int m = 0; m < file->menuCount(); ++m) {
            const Menu& menu = (*file)[m];
            for (const char* t : {menu.title, menu.topText, menu.bottomText, menu.version,
                                  menu.packageFolder, menu.registrationUrl})
                if (t) sum += std::strlen(t);
            if (menu.options)
                for (int o = 0; o < menu.optionCount; ++o)
                    if (menu.options[o].label) sum += std::strlen(menu.options[o].label);
        }
        if (sum == static_cast<std::size_t>(-1)) __builtin_trap();  // keeps the reads
    }
    return 0;
}
