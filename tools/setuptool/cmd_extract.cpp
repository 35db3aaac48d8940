// setuptool extract: unpacks a package as Setup does.
#include <filesystem>

#include "archive/package_extractor.h"
#include "archive_files.h"
#include "command.h"
#include "json_text.h"
#include "paths.h"

namespace {

const char* const USAGE = "extract PACKAGE DEST";

int run(const Arguments& args) {
    if (args.size() != 2) return usageError(USAGE);
    // The rate is that of the package's bytes, as far as the per cent done tells.
    std::error_code ec;
    std::uint64_t size = std::filesystem::file_size(pathOf(args[0]), ec);
    if (ec) size = 0;
    StderrProgress line("extract", size > 0);
    platform::ConsoleProgressSink progress(line, size);
    LastMessageSink sink;
    sink.progress = &line;
    platform::System system = platform::consoleSystem();
    system.messages = &sink;
    system.progress = &progress;
    ArchiveContext context(system);
    int result = extractPackage(args[0], args[1], context);
    line.finish();
    // readsBack: copies of a compressed package read back from its temporary file.
    printJson({{"result", result},
               {"message", byteText(sink.last)},
               {"readsBack", static_cast<long long>(context.stats.readsBack)}});
    return result == 0 ? 0 : 1;
}

const CommandRegistration registration("extract", USAGE, run);

}  // namespace
