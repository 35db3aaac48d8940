#include "archive/archive_session.h"

#include <cstdio>

#include "archive/archive_progress.h"
#include "archive/decode_feed.h"
#include "archive/package_extractor.h"
#include "platform/control_bytes.h"

ArchiveSession& archiveSession() {
    static ArchiveSession session;
    return session;
}

std::string formatArchiveMessage(const char* format, const std::string& argument) {
    // Names come from the package: its control bytes must not reach a terminal or the log.
    return platform::formatText(format, platform::escapeControlBytes(argument));
}

void reportArchiveError(const char* format, const std::string& argument) {
    ArchiveSession& session = archiveSession();
    platform::System system = session.active ? session.system : platform::consoleSystem();
    endArchiveProgress();
    std::string text = formatArchiveMessage(format, argument);
    // Never appended to through a link: the package chooses what the message says.
    platform::FilePtr log =
        system.fs->openPlainFile("errors.txt", platform::CreateMode::AppendText);
    if (log) std::fwrite(text.data(), 1, text.size(), log.get());
    system.messages->showMessage(text, "Error!", platform::MessageIcon::Exclamation);
    log.reset();
    if (session.active) system.fs->setCurrentFolder(session.savedDirectory);
}

int archiveFailure(int code, const char* format, const std::string& argument) {
    if (DecodeFeed* feed = archiveSession().feed) return feed->hold(code, format, argument);
    reportArchiveError(format, argument);
    return code;
}
