// Compressed streams of any content: the input follows the "ARPK" mark, so every input
// reaches the decoder, and whatever it decodes is then unpacked as an archive.
#include <string>

#include "archive/package_extractor.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::enterScratchWorkingFolder();
    fuzzing::removeScratch("dest");
    std::string bytes = "ARPK";
    bytes.append(reinterpret_cast<const char*>(data), size);
    std::string package = fuzzing::writeScratchFile(
        "package.apk", reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    extractPackage(package, fuzzing::scratchFolder() + "dest", fuzzing::confinedSystem());
    // Every failure appends to the log; keep it from filling the memory-backed folder.
    fuzzing::removeScratch("cwd/errors.txt");
    return 0;
}
