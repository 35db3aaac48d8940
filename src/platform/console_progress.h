#pragma once
// The progress of a long command on standard error, as zstd and xz show theirs: one line,
// rewritten in place, with the per cent done and, for bytes, the rate. Only a terminal gets
// it; a log or a pipe gets nothing. Window-free and clock-free: the caller gives the time
// and writes the text.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/progress_sink.h"

namespace platform {

// A line is written at most this often, and not before the command has run this long.
inline constexpr std::uint32_t CONSOLE_PROGRESS_MS = 250;

class ConsoleProgressLine {
public:
    // bytes: done and total count bytes, and the line shows MB/s (of 1,000,000 bytes).
    ConsoleProgressLine(bool terminal, std::string label, bool bytes, std::uint32_t now);

    // A new step of the command under another label; its rate is counted from now.
    void restart(std::string label, std::uint32_t now);
    // The text to write for done of total at now: "\r", the line and blanks over what is left
    // of a longer line before it; empty when nothing is due.
    std::string update(std::uint64_t done, std::uint64_t total, std::uint32_t now);
    // The last state and a line break once a line was shown, so that what follows starts on
    // a line of its own; empty otherwise.
    std::string finish(std::uint32_t now);

private:
    std::string line(std::uint32_t now) const;
    std::string rewrite(std::uint32_t now);

    bool terminal_;
    bool bytes_;
    std::string label_;
    std::uint32_t started_;  // of the command: nothing is shown before it ran a while
    std::uint32_t stepStarted_;
    std::uint32_t lastLine_ = 0;
    bool shown_ = false;
    std::size_t shownLength_ = 0;
    std::uint64_t done_ = 0, total_ = 0;
};

// The line written to a stream, on the clock's time.
class ConsoleProgress {
public:
    ConsoleProgress(std::FILE* out, bool terminal, std::string label, bool bytes, Clock& clock);
    // Ends the line.
    ~ConsoleProgress();
    ConsoleProgress(const ConsoleProgress&) = delete;
    ConsoleProgress& operator=(const ConsoleProgress&) = delete;

    void restart(std::string label);
    void report(std::uint64_t done, std::uint64_t total);
    // Before anything else is written to the stream.
    void finish();

private:
    void write(const std::string& text);
    std::FILE* out_;
    Clock& clock_;
    ConsoleProgressLine line_;
};

// The core's progress displays (the unpacker's, the check's) as that line. With bytes, the
// range of a display stands for that many bytes (a package's size), so the line shows a rate;
// with a countLabel, each text given to a display starts a step labelled "countLabel N".
class ConsoleProgressSink : public ProgressSink {
public:
    ConsoleProgressSink(ConsoleProgress& line, std::uint64_t bytes, std::string countLabel = "");
    std::unique_ptr<ProgressDisplay> open(ProceedFlag* proceedFlag, bool hideCancel,
                                          const std::string& title, bool minimized) override;
    bool pumpMessages() override { return true; }

private:
    class Display;
    ConsoleProgress& line_;
    std::uint64_t bytes_;
    std::string countLabel_;
    int texts_ = 0;
};

}  // namespace platform
