// Packages of any content unpacked into a fresh folder, which must stay the only place
// written: the confined file layer aborts on any write outside the scratch folder.
#include "archive/package_extractor.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::enterScratchWorkingFolder();
    fuzzing::removeScratch("dest");
    std::string package = fuzzing::writeScratchFile("package.apk", data, size);
    extractPackage(package, fuzzing::scratchFolder() + "dest", fuzzing::confinedSystem());
    // Every failure appends to the log; keep it from filling the memory-backed folder.
    fuzzing::removeScratch("cwd/errors.txt");
    return 0;
}
