#include "archive/archive_progress.h"

#include <algorithm>

void ArchiveProgressChannel::begin(const platform::System& system) {
    proceed_ = 1;
    lastRefresh_ = 0;
    refreshed_ = false;
    sink_ = system.progress;
    clock_ = system.clock;
    if (!display_ && sink_) display_ = sink_->open(&proceed_, true, std::string(), false);
}

void ArchiveProgressChannel::setText(const std::string& text, std::int64_t total) {
    if (display_) display_->setText(text, 0, total > 0 ? 100 : 0);
}

bool ArchiveProgressChannel::step(std::int64_t done, std::int64_t total, int basePercent) {
    // A total of 0 or less means nothing; show the base rather than divide by it.
    std::int64_t percent = basePercent;
    if (total > 0) percent += done * 100 / total;
    lastPercent_ = static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
    if (!display_ || !clock_) return true;
    std::uint32_t now = clock_->tickCount();
    // The first report after begin refreshes at once, even right after the tick count wrapped.
    if (refreshed_ && now - lastRefresh_ < ARCHIVE_REFRESH_MS) return true;
    display_->setPos(lastPercent_);
    if (sink_) sink_->pumpMessages();
    lastRefresh_ = now;
    refreshed_ = true;
    return true;
}

void ArchiveProgressChannel::end() {
    display_.reset();
}

void ArchiveProgressChannel::reset() {
    display_.reset();
    sink_ = nullptr;
    clock_ = nullptr;
    proceed_ = 1;
    lastRefresh_ = 0;
    refreshed_ = false;
    lastPercent_ = 0;
}

ArchiveProgressChannel& archiveProgress() {
    static ArchiveProgressChannel channel;
    return channel;
}

void beginArchiveProgress(const platform::System& system) {
    archiveProgress().begin(system);
}
void setArchiveProgressText(const std::string& text, std::int64_t total) {
    archiveProgress().setText(text, total);
}
bool stepArchiveProgress(std::int64_t done, std::int64_t total, int basePercent) {
    return archiveProgress().step(done, total, basePercent);
}
void endArchiveProgress() {
    archiveProgress().end();
}
