// setuptool extract: unpacks a package as Setup does.
#include "archive/arpk_decoder.h"
#include "archive/package_extractor.h"
#include "archive_files.h"
#include "command.h"
#include "json_text.h"

namespace {

const char* const USAGE = "extract PACKAGE DEST";

int run(const Arguments& args) {
    if (args.size() != 2) return usageError(USAGE);
    LastMessageSink sink;
    platform::System system = platform::consoleSystem();
    system.messages = &sink;
    int result = extractPackage(args[0], args[1], system);
    // readsBack: copies of a compressed package read back from its temporary file.
    printJson({{"result", result},
               {"message", byteText(sink.last)},
               {"readsBack", static_cast<long long>(arpkReadsBack())}});
    return result == 0 ? 0 : 1;
}

const CommandRegistration registration("extract", USAGE, run);

}  // namespace
