#include "platform/system.h"

namespace platform {

System consoleSystem() {
    static StderrMessageSink messages;
    static NullProgressSink progress;
    return System{&systemFileSystem(), &messages, &progress, &systemClock()};
}

}  // namespace platform
