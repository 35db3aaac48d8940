#pragma once
// Progress of long operations. The owner lends a proceed byte that it sets to 1; a cancel by
// the user clears it and does nothing else, the owner looks at it after pumping messages.
// The display may run on another thread than its owner, so the byte is atomic.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;  // removes the display
    // Shows the bar with range low..high when high > low, hides it otherwise.
    virtual void setText(const std::string& text, int low, int high) = 0;
    virtual void setPos(int pos) = 0;
};

using ProceedFlag = std::atomic<std::uint8_t>;

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Null when no display can be created.
    virtual std::unique_ptr<ProgressDisplay> open(ProceedFlag* proceedFlag, bool hideCancel,
                                                  const std::string& title, bool minimized) = 0;
    // Lets the user interface run; false when the application has been asked to quit.
    virtual bool pumpMessages() = 0;
};

// Shows nothing and never cancels.
class NullProgressSink : public ProgressSink {
public:
    std::unique_ptr<ProgressDisplay> open(ProceedFlag*, bool, const std::string&, bool) override;
    bool pumpMessages() override { return true; }
};

}  // namespace platform
