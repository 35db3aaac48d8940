// The package operation: the one place where a failure of the unpacker is logged and shown.
#include <cstdio>

#include "archive/archive_progress.h"
#include "archive/package_extractor.h"
#include "platform/written_text.h"

namespace {

const char* const ERROR_LOG = "errors.txt";

// A message holds the program's texts (UTF-8 where Setup.exe holds every text so) and may
// hold a package's entry names, bytes of the ANSI code page: what is not UTF-8 is taken as
// those bytes.
platform::TextEncoding messageEncoding(const std::string& text) {
    return platform::validUtf8(text) == text ? platform::TextEncoding::Utf8
                                             : platform::TextEncoding::Ansi;
}

std::string readLog(platform::FileSystem& fs) {
    std::string bytes;
    platform::FilePtr f = fs.openRegularFile(ERROR_LOG);
    char buffer[4096];
    std::size_t n;
    while (f && (n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
    return bytes;
}

// ANSI as ever while every character fits; else the log goes on (or starts anew) in UTF-8.
// Never appended to through a link: the package chooses what the message says.
void appendToLog(platform::FileSystem& fs, const std::string& text) {
    platform::WrittenText line;
    line.append(text, messageEncoding(text));
    const std::string existing = readLog(fs);
    platform::FileUpdate update = platform::appendedBytes(existing, line);
    if (update.replace) {
        // The old lines, converted, written as they are; the new one in text mode as always.
        platform::FilePtr anew = fs.openPlainFile(ERROR_LOG, platform::CreateMode::Replace);
        if (!anew) return;
        std::string old = std::string(platform::UTF8_MARK) +
                          platform::asUtf8(existing, platform::TextEncoding::Ansi);
        std::fwrite(old.data(), 1, old.size(), anew.get());
        update.bytes = line.utf8(platform::ansiCodePage());
    }
    platform::FilePtr log = fs.openPlainFile(ERROR_LOG, platform::CreateMode::AppendText);
    if (log) std::fwrite(update.bytes.data(), 1, update.bytes.size(), log.get());
}

// Appended to the log of the folder where it happened, then shown.
void reportFailure(const ArchiveContext& context, const std::string& savedDirectory) {
    platform::FileSystem& fs = *context.system.fs;
    endArchiveProgress();
    // A failure before the destination (the decoder's, while the extractor was already in
    // it) is logged where the caller works.
    if (context.inDestination && !context.error.inDestination) fs.setCurrentFolder(savedDirectory);
    const std::string& text = context.error.message;
    appendToLog(fs, text);
    context.system.messages->showMessage(text, "Error!", platform::MessageIcon::Exclamation);
}

}  // namespace

int extractPackage(const std::string& packagePath, const std::string& destination,
                   ArchiveContext& context) {
    platform::FileSystem& fs = *context.system.fs;
    std::string savedDirectory;
    // Put back on every way out, after the report.
    struct Restore {
        platform::FileSystem& fs;
        const std::string& folder;
        ~Restore() { fs.setCurrentFolder(folder); }
    } restore{fs, savedDirectory};
    int r = fs.currentFolder(savedDirectory)
                ? extractPackageFiles(packagePath, destination, context)
                : context.fail(ARCHIVE_ERR_IO, "Cannot determine current directory");
    if (context.failed()) reportFailure(context, savedDirectory);
    return r;
}

int extractPackage(const std::string& packagePath, const std::string& destination,
                   const platform::System& system) {
    ArchiveContext context(system);
    return extractPackage(packagePath, destination, context);
}
