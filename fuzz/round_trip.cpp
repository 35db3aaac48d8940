// Trees made from the input are packed, compressed or not, unpacked again, and must come
// back byte for byte with their times.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive/package_extractor.h"
#include "fuzz_support.h"

namespace {

const char* const NAMES[] = {"a.txt", "b.bin",       "data\\c.dat", "data\\deep\\d",
                             "e",     "data\\f.txt", "g.prc",       "palm\\h.pdb"};

[[noreturn]] void mismatch(const char* what, const std::string& name) {
    std::fprintf(stderr, "round trip differs: %s %s\n", what, name.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    fuzzing::enterScratchWorkingFolder();
    fuzzing::removeScratch("dest");
    const std::uint8_t flags = data[0];
    const int fileCount = 1 + (data[1] & 7);
    data += 2;
    size -= 2;
    // Each file takes an equal share of the rest; the last one takes what is left.
    std::vector<ArchiveEntry> entries;
    std::size_t share = size / static_cast<std::size_t>(fileCount);
    for (int i = 0; i < fileCount; ++i) {
        std::size_t begin = share * static_cast<std::size_t>(i);
        std::size_t length = i + 1 == fileCount ? size - begin : share;
        ArchiveEntry e;
        e.name = NAMES[i];
        e.data.assign(reinterpret_cast<const char*>(data) + begin, length);
        e.accessTime = 946684800 + i * 3600;
        e.modifyTime = 1234567890 - i * 60;
        entries.push_back(std::move(e));
    }
    std::string archive, error;
    if (!buildFileArchive(entries, archive, error)) return 0;
    std::string package = archive;
    if (flags & 1) {
        ArpkEncoderOptions options;
        if (flags & 2)
            options.escape = flags >> 2;  // a fixed escape byte instead
        else
            options.best = (flags & 4) != 0;  // or the closest parse
        package = encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()), archive.size(),
                             options);
    }
    std::string path = fuzzing::writeScratchFile(
        "package.apk", reinterpret_cast<const std::uint8_t*>(package.data()), package.size());
    const std::string dest = fuzzing::scratchFolder() + "dest";
    platform::System system = fuzzing::confinedSystem();
    if (extractPackage(path, dest, system) != 0) mismatch("result", path);
    for (const ArchiveEntry& e : entries) {
        std::string file = dest + "\\" + e.name;
        platform::FilePtr in = system.fs->openFile(file, "rb");
        if (!in) mismatch("missing", e.name);
        std::string back(e.data.size() + 1, '\0');
        std::size_t n = std::fread(back.data(), 1, back.size(), in.get());
        back.resize(n);
        if (back != e.data) mismatch("bytes", e.name);
        // Only the modification time: reading the file may move its access time.
        std::int64_t access = 0, modify = 0;
        if (!system.fs->getFileTimes(file, access, modify) || modify != e.modifyTime)
            mismatch("times", e.name);
    }
    if (system.fs->exists(dest + "\\_temp.arh")) mismatch("left over", "_temp.arh");
    return 0;
}
