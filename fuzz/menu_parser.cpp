// Menu scripts of any content, parsed fully and header-only. The first byte picks the
// platform file name and the mode; SWITCHTO can reach only files of the scratch folder.
#include "menu/menu_parser.h"
#include "fuzz_support.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const char* const names[] = {"EPOC.mnu", "N9210.mnu", "POCKETPC.mnu", "PALM.mnu"};
    std::uint8_t pick = data[0];
    std::string path = fuzzing::writeScratchFile(names[pick & 3], data + 1, size - 1);
    // A second script for SWITCHTO lines to find.
    fuzzing::writeScratchFile("more.mnu", data + 1, (size - 1) / 2);
    MenuParseEnvironment env;
    env.system = fuzzing::confinedSystem();
    env.trace = nullptr;
    env.languageCount = (pick >> 3) & 3;
    MenuFilePtr file;
    parseMenuScript(path, file, (pick & 4) != 0, (pick & 0x80) != 0, env);
    if (file) {
        // Everything stored must be readable: walk it all.
        volatile std::size_t sum = 0;
        for (int m = 0; m < file->menuCount(); ++m) {
            const Menu& menu = (*file)[m];
            for (const char* t : {menu.title, menu.topText, menu.bottomText, menu.version,
                                  menu.packageFolder, menu.registrationUrl})
                if (t) sum += std::strlen(t);
            if (menu.options)
                for (int o = 0; o < menu.optionCount; ++o)
                    if (menu.options[o].label) sum += std::strlen(menu.options[o].label);
        }
    }
    return 0;
}
