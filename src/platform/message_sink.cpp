#include "platform/message_sink.h"

#include <cstdio>

namespace platform {

std::string formatText(const std::string& format, const std::string& argument) {
    std::size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + argument + format.substr(at + 2);
}

void StderrMessageSink::showMessage(const std::string& text, const std::string&, MessageIcon) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool StderrMessageSink::askYesNo(const std::string& text, const std::string&, MessageIcon) {
    std::fprintf(stderr, "%s [answered No]\n", text.c_str());
    return false;
}

}  // namespace platform
