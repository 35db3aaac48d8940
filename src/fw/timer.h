#pragma once
// A window timer that is killed when its owner goes (or earlier, by kill()).
#include <windows.h>

namespace fw {

class Timer {
public:
    Timer() = default;
    ~Timer() { kill(); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // WM_TIMER with the id reaches the window every period; false when no timer was made.
    bool start(HWND window, UINT_PTR id, UINT periodMs) {
        kill();
        if (!::SetTimer(window, id, periodMs, nullptr)) return false;
        window_ = window;
        id_ = id;
        return true;
    }
    void kill() {
        if (window_) ::KillTimer(window_, id_);
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

}  // namespace fw
