#include "archive/archive_result.h"

#include "platform/control_bytes.h"
#include "platform/message_sink.h"

ArchiveError archiveError(int code, const char* format, const std::string& argument) {
    return {code, platform::formatText(format, platform::escapeControlBytes(argument)), false};
}

int ArchiveContext::fail(int code, const char* format, const std::string& argument) {
    ArchiveError e = archiveError(code, format, argument);
    e.inDestination = inDestination;
    return fail(std::move(e));
}

int ArchiveContext::fail(ArchiveError e) {
    int code = e.code;
    if (!failed()) error = std::move(e);
    return code;
}
