#pragma once
// When the splash may close: never before the loader is done, and after success only once
// it has been shown for its minimum time (or clicked). Window-free, so every order of the
// events is tested natively.
#include <atomic>

class SplashClosingRule {
public:
    // The loader thread, just before it posts the same command: LOADER_SUCCESS (1) or
    // LOADER_FAILURE (3). The outcome itself is kept, not only that loading ended, so that a
    // timer command that slips in between cannot turn a failure into success.
    void loaderFinished(int command) { load_.store(command, std::memory_order_release); }
    bool loadDone() const { return load_.load(std::memory_order_acquire) != 0; }
    // The timer or a click; the dialog then posts command 1.
    void minimumTimeOver() { minTimeDone_ = true; }
    bool minTimeDone() const { return minTimeDone_; }
    // Commands 1 (timer, click, loader, Enter, OK), 2 (Escape, Cancel) and 3 (loader
    // failure): the dialog's end value, or 0 to stay open.
    int onCommand(int id) const;

private:
    std::atomic<int> load_{0};
    bool minTimeDone_ = false;
};
