#include "archive/archive_session.h"

#include <cstdio>

#include "archive/archive_progress.h"
#include "archive/decode_feed.h"
#include "archive/package_extractor.h"

ArchiveSession& archiveSession() {
    static ArchiveSession session;
    return session;
}

std::string formatArchiveMessage(const char* format, const std::string& argument) {
    std::string text = format;
    std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

void reportArchiveError(const char* format, const std::string& argument) {
    ArchiveSession& session = archiveSession();
    platform::System system = session.active ? session.system : platform::consoleSystem();
    endArchiveProgress();
    std::string text = formatArchiveMessage(format, argument);
    platform::FilePtr log = system.fs->openFile("errors.txt", "a");
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
