#pragma once
// The archive progress channel: one shared display through which the unpacker reports
// percentages. Unpacking cannot be cancelled, so the display has no Cancel button and the
// proceed byte is never looked at.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system.h"

inline constexpr std::uint32_t ARCHIVE_REFRESH_MS = 500;
// The display's text while the files are written (also when they are written beside the
// decoder).
inline constexpr const char* ARCHIVE_PROCESSING_TEXT = "Processing APK files...";

class ArchiveProgressChannel {
public:
    // Opens the display unless one is open; without one every call does nothing.
    void begin(const platform::System& system);
    // Bar 0..100 when total is positive, hidden otherwise.
    void setText(const std::string& text, std::int64_t total);
    // percent = base + done * 100 / total; refreshes at most every 500 ms. Always true.
    bool step(std::int64_t done, std::int64_t total, int basePercent);
    void end();
    // Forgets everything, as at program start.
    void reset();

    bool isOpen() const { return display_ != nullptr; }
    int lastPercent() const { return lastPercent_; }

private:
    std::unique_ptr<platform::ProgressDisplay> display_;
    platform::ProgressSink* sink_ = nullptr;
    platform::Clock* clock_ = nullptr;
    platform::ProceedFlag proceed_{1};
    std::uint32_t lastRefresh_ = 0;
    bool refreshed_ = false;
    int lastPercent_ = 0;
};

// The channel of the program.
ArchiveProgressChannel& archiveProgress();

void beginArchiveProgress(const platform::System& system);
void setArchiveProgressText(const std::string& text, std::int64_t total);
bool stepArchiveProgress(std::int64_t done, std::int64_t total, int basePercent);
void endArchiveProgress();
