#pragma once
// The services of the running system, bundled so that the core can be handed fakes in tests.
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/progress_sink.h"

namespace platform {

struct System {
    FileSystem* fs;
    MessageSink* messages;
    ProgressSink* progress;
    Clock* clock;
};

// File system and clock of this machine, messages to standard error, no progress display.
System consoleSystem();

}  // namespace platform
