#include "platform/message_sink.h"

#include <cstdio>

namespace platform {

void StderrMessageSink::showMessage(const std::string& text, const std::string&, MessageIcon) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

bool StderrMessageSink::askYesNo(const std::string& text, const std::string&, MessageIcon) {
    std::fprintf(stderr, "%s [answered No]\n", text.c_str());
    return false;
}

}  // namespace platform
