// The package operation: the one place where a failure of the unpacker is logged and shown.
#include <cstdio>

#include "archive/archive_progress.h"
#include "archive/package_extractor.h"

namespace {

const char* const ERROR_LOG = "errors.txt";

// Appended to the log of the folder where it happened, then shown.
void reportFailure(const ArchiveContext& context, const std::string& savedDirectory) {
    platform::FileSystem& fs = *context.system.fs;
    endArchiveProgress();
    // A failure before the destination (the decoder's, while the extractor was already in
    // it) is logged where the caller works.
    if (context.inDestination && !context.error.inDestination) fs.setCurrentFolder(savedDirectory);
    const std::string& text = context.error.message;
    // Never appended to through a link: the package chooses what the message says.
    platform::FilePtr log = fs.openPlainFile(ERROR_LOG, platform::CreateMode::AppendText);
    if (log) std::fwrite(text.data(), 1, text.size(), log.get());
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
