#include "platform/console_progress.h"

#include <algorithm>
#include <cstdio>

namespace platform {

ConsoleProgressLine::ConsoleProgressLine(bool terminal, std::string label, bool bytes,
                                         std::uint32_t now)
    : terminal_(terminal),
      bytes_(bytes),
      label_(std::move(label)),
      started_(now),
      stepStarted_(now) {}

void ConsoleProgressLine::restart(std::string label, std::uint32_t now) {
    label_ = std::move(label);
    stepStarted_ = now;
    done_ = total_ = 0;
}

std::string ConsoleProgressLine::line(std::uint32_t now) const {
    // Integer per cent, never past 100, whatever the caller counts.
    std::uint64_t percent = total_ > 0 ? std::min<std::uint64_t>(done_, total_) * 100 / total_ : 0;
    char text[64];
    std::snprintf(text, sizeof text, " %3u%%", static_cast<unsigned>(percent));
    std::string out = label_ + text;
    const std::uint32_t elapsed = now - stepStarted_;  // wraps with the tick count
    if (bytes_ && elapsed > 0) {
        double rate = static_cast<double>(done_) / 1e6 / (elapsed / 1000.0);
        std::snprintf(text, sizeof text, " %.1f MB/s", rate);
        out += text;
    }
    return out;
}

std::string ConsoleProgressLine::rewrite(std::uint32_t now) {
    std::string text = line(now);
    std::size_t length = text.size();
    // A shorter line leaves nothing of the longer one before it.
    if (length < shownLength_) text.append(shownLength_ - length, ' ');
    shownLength_ = length;
    shown_ = true;
    lastLine_ = now;
    return "\r" + text;
}

std::string ConsoleProgressLine::update(std::uint64_t done, std::uint64_t total,
                                        std::uint32_t now) {
    done_ = done;
    total_ = total;
    if (!terminal_) return "";
    // A quick command shows nothing; a long one refreshes a few times a second.
    if (!shown_ && now - started_ < CONSOLE_PROGRESS_MS) return "";
    if (shown_ && now - lastLine_ < CONSOLE_PROGRESS_MS) return "";
    return rewrite(now);
}

std::string ConsoleProgressLine::finish(std::uint32_t now) {
    if (!shown_) return "";
    std::string text = rewrite(now) + "\n";
    shown_ = false;
    shownLength_ = 0;
    return text;
}

ConsoleProgress::ConsoleProgress(std::FILE* out, bool terminal, std::string label, bool bytes,
                                 Clock& clock)
    : out_(out), clock_(clock), line_(terminal, std::move(label), bytes, clock.tickCount()) {}

ConsoleProgress::~ConsoleProgress() {
    finish();
}

void ConsoleProgress::restart(std::string label) {
    line_.restart(std::move(label), clock_.tickCount());
}

void ConsoleProgress::report(std::uint64_t done, std::uint64_t total) {
    write(line_.update(done, total, clock_.tickCount()));
}

void ConsoleProgress::finish() {
    write(line_.finish(clock_.tickCount()));
}

void ConsoleProgress::write(const std::string& text) {
    if (text.empty()) return;
    std::fputs(text.c_str(), out_);
    std::fflush(out_);
}

class ConsoleProgressSink::Display : public ProgressDisplay {
public:
    explicit Display(ConsoleProgressSink& sink) : sink_(sink) {}
    void setText(const std::string&, int low, int high) override {
        low_ = low;
        high_ = high;
        // A new text is a new step of a count; for bytes it only names what goes on, and the
        // bytes done so far stay as they are.
        if (sink_.countLabel_.empty()) return;
        sink_.line_.restart(sink_.countLabel_ + " " + std::to_string(++sink_.texts_));
        setPos(low);
    }
    void setPos(int pos) override {
        if (high_ <= low_) return;
        const std::uint64_t range = static_cast<std::uint64_t>(high_) - low_;
        const std::uint64_t done =
            pos <= low_ ? 0
                        : std::min<std::uint64_t>(static_cast<std::uint64_t>(pos) - low_, range);
        if (sink_.bytes_ > 0)
            sink_.line_.report(sink_.bytes_ * done / range, sink_.bytes_);
        else
            sink_.line_.report(done, range);
    }

private:
    ConsoleProgressSink& sink_;
    int low_ = 0, high_ = 0;
};

ConsoleProgressSink::ConsoleProgressSink(ConsoleProgress& line, std::uint64_t bytes,
                                         std::string countLabel)
    : line_(line), bytes_(bytes), countLabel_(std::move(countLabel)) {}

std::unique_ptr<ProgressDisplay> ConsoleProgressSink::open(ProceedFlag*, bool, const std::string&,
                                                           bool) {
    return std::make_unique<Display>(*this);
}

}  // namespace platform
