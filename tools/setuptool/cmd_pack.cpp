// setuptool pack: builds an APK package of every file under a folder.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive/name_clash.h"
#include "archive_files.h"
#include "command.h"
#include "json_text.h"
#include "output_file.h"
#include "paths.h"
#include "platform/file_system.h"
#include "progress_output.h"

namespace {

namespace fs = std::filesystem;

const char* const USAGE = "pack [--compress | --best] [--escape N] SRC_DIR PACKAGE.APK";
const char* const HELP =
    "Packs every file under SRC_DIR, named by its path below SRC_DIR, into PACKAGE.APK.\n"
    "  --compress    wrap the package in the compression layer (quick: over 10 MB/s)\n"
    "  --best        compress with the closest parse: some per cent smaller, ten times slower\n"
    "  --escape N    the escape byte of the compression (0..255; default: the rarest byte)\n"
    "A link to a file is packed as a file of the link's name holding the content it points\n"
    "to; a link to a folder, a dangling link and anything that is neither a file nor a\n"
    "folder are refused. Names that unpacking on Windows would fold into one (A.TXT and\n"
    "a.txt, x.txt and x.txt., a long name and a short alias it may get, a file a\\b beside a\n"
    "folder a holding b) are refused, and so are names Windows cannot create. PACKAGE.APK\n"
    "itself is left out when it lies under SRC_DIR; it is written under a temporary name and\n"
    "renamed when complete, so a failed pack leaves no partial package.\n";

struct Source {
    fs::path path;
    ArchiveEntryInfo info;
};

bool failWith(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

int fail(const std::string& text) {
    std::fprintf(stderr, "setuptool pack: %s\n", text.c_str());
    return 1;
}

bool identityOfPath(const fs::path& p, platform::FileIdentity& id) {
    platform::FilePtr f(platform::systemFileSystem().openFile(textOf(p), "rb"));
    return f && platform::identityOf(f.get(), id);
}

// Two entries that would become one file (or a file and a folder of one name) when unpacked.
bool refuseFoldedNames(const std::vector<Source>& sources, std::string& error) {
    std::vector<std::string> names;
    for (const Source& s : sources) names.push_back(s.info.name);
    std::size_t first = 0, second = 0;
    if (!findNameClash(names, first, second)) return true;
    error = "names that unpacking would fold into one: " + textOf(sources[first].path) + " and " +
            textOf(sources[second].path);
    return false;
}

bool collect(const fs::path& root, const fs::path& output, std::vector<Source>& sources,
             std::string& error) {
    platform::FileIdentity outputId;
    bool outputExists = identityOfPath(output, outputId);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        fs::path relative = p.lexically_relative(root);
        fs::file_status own = it->symlink_status(ec);
        if (ec) break;
        if (fs::is_directory(own)) continue;
        if (fs::is_symlink(own)) {
            fs::file_status target = fs::status(p, ec);
            if (ec || !fs::is_regular_file(target)) {
                error = "a link to a folder or to nothing is not packed: " + textOf(relative);
                return false;
            }
        } else if (!fs::is_regular_file(own)) {
            error = "neither a file nor a folder: " + textOf(relative);
            return false;
        }
        platform::FileIdentity id;
        if (outputExists && identityOfPath(p, id) && id == outputId) continue;
        Source s;
        s.path = p;
        if (!packageNameOf(relative, s.info.name)) {
            error = "a name the code page cannot hold: " + textOf(relative);
            return false;
        }
        s.info.size = fs::file_size(p, ec);
        if (ec) break;
        std::int64_t access = 0, modify = 0;
        platform::systemFileSystem().getFileTimes(textOf(p), access, modify);
        s.info.accessTime = static_cast<std::int32_t>(access);
        s.info.modifyTime = static_cast<std::int32_t>(modify);
        sources.push_back(std::move(s));
    }
    if (ec) {
        error = "cannot read " + textOf(root) + ": " + ec.message();
        return false;
    }
    std::sort(sources.begin(), sources.end(),
              [](const Source& a, const Source& b) { return a.info.name < b.info.name; });
    return refuseFoldedNames(sources, error);
}

// Appends a file's bytes to out through a fixed buffer; false when the file is unreadable or
// no longer has the size its record was given.
template <typename Sink>
bool streamFile(const Source& s, Sink&& sink) {
    platform::FilePtr in(platform::systemFileSystem().openFile(textOf(s.path), "rb"));
    if (!in) return false;
    std::vector<char> buffer(1 << 16);
    std::uint64_t done = 0;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0;) {
        done += n;
        if (done > s.info.size || !sink(buffer.data(), n)) return false;
    }
    return !std::ferror(in.get()) && done == s.info.size;
}

std::string unreadable(const Source& s) {
    return "cannot read " + textOf(s.path) + " (or its size changed while packing)";
}

// Writes the package to file: plain archives stream file by file; the compressor needs the
// whole archive in memory.
// The progress line counts the archive's bytes: written, or read and then compressed.
bool writePackage(std::FILE* file, const std::string& head, const std::vector<Source>& sources,
                  std::uint64_t archiveSize, bool compress, ArpkEncoderOptions options,
                  StderrProgress& line, std::uint64_t& packageSize, std::string& error) {
    auto write = [file](const char* p, std::size_t n) { return std::fwrite(p, 1, n, file) == n; };
    std::uint64_t done = head.size();
    auto put = [&](const char* p, std::size_t n) {
        done += n;
        line.report(done, archiveSize);
        return write(p, n);
    };
    if (!compress) {
        if (!write(head.data(), head.size())) return failWith(error, "cannot write the package");
        packageSize = head.size();
        for (const Source& s : sources) {
            if (!streamFile(s, put)) return failWith(error, unreadable(s));
            packageSize += s.info.size;
        }
        return true;
    }
    line.restart("pack: reading");
    std::string archive = head;
    archive.reserve(archiveSize);
    for (const Source& s : sources) {
        auto keep = [&archive, &line, archiveSize](const char* p, std::size_t n) {
            archive.append(p, n);
            line.report(archive.size(), archiveSize);
            return true;
        };
        if (!streamFile(s, keep)) return failWith(error, unreadable(s));
    }
    line.restart("pack: compressing");
    options.progress = [&line](std::size_t at, std::size_t size) { line.report(at, size); };
    std::string package =
        encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()), archive.size(), options);
    line.report(archive.size(), archive.size());
    packageSize = package.size();
    if (!write(package.data(), package.size())) return failWith(error, "cannot write the package");
    return true;
}

int pack(const fs::path& root, const fs::path& output, bool compress,
         const ArpkEncoderOptions& options) {
    std::vector<Source> sources;
    std::string head, error;
    if (!collect(root, output, sources, error)) return fail(error);
    std::vector<ArchiveEntryInfo> infos;
    std::uint64_t archiveSize = 0;
    for (const Source& s : sources) infos.push_back(s.info);
    if (!buildArchiveHead(infos, head, error)) return fail(error);
    archiveSize = head.size();
    for (const ArchiveEntryInfo& i : infos) archiveSize += i.size;

    fs::path temp;
    platform::FilePtr file = createTemporary(output, temp);
    if (!file) return fail("cannot write " + textOf(output));
    std::uint64_t packageSize = 0;
    StderrProgress line("pack", true);
    bool ok = writePackage(file.get(), head, sources, archiveSize, compress, options, line,
                           packageSize, error);
    line.finish();
    if (std::fclose(file.release()) != 0 && ok) {
        ok = false;
        error = "cannot write the package";
    }
    if (ok && !platform::systemFileSystem().renameFile(textOf(temp), textOf(output))) {
        ok = false;
        error = "cannot write " + textOf(output);
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(temp, ec);
        return fail(error);
    }
    printJson({{"files", sources.size()},
               {"archiveSize", archiveSize},
               {"packageSize", packageSize},
               {"compressed", compress}});
    return 0;
}

int run(const Arguments& args) {
    bool compress = false;
    ArpkEncoderOptions options;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--compress") {
            compress = true;
        } else if (args[i] == "--best") {
            compress = true;
            options.best = true;
        } else if (args[i] == "--escape" && i + 1 < args.size()) {
            char* end = nullptr;
            long v = std::strtol(args[++i].c_str(), &end, 0);
            if (*end != 0 || v < 0 || v > 255) return usageError(USAGE);
            options.escape = static_cast<int>(v);
        } else if (args[i].rfind("--", 0) != 0) {
            paths.push_back(args[i]);
        } else {
            return usageError(USAGE);
        }
    }
    if (paths.size() != 2) return usageError(USAGE);
    try {
        return pack(pathOf(paths[0]), pathOf(paths[1]), compress, options);
    } catch (const std::bad_alloc&) {
        return fail("not enough memory to pack " + paths[0]);
    }
}

const CommandRegistration registration("pack", USAGE, run, HELP);

}  // namespace
