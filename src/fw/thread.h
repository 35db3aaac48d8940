#pragma once
// A worker thread with a message queue of its own. start() returns only once that queue
// exists, so a quit message posted afterwards cannot be lost; quitAndWait() always ends.
#include <windows.h>

#include <functional>

#include "platform/win32/handle_win.h"

namespace fw {

class Thread {
public:
    // What a body that threw ends its thread with.
    static constexpr DWORD FAILED = 0xFFFFFFFF;

    Thread() = default;
    // A thread still running is asked to quit and waited for.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs body on a new thread; false when no thread could be started.
    bool start(std::function<DWORD()> body);
    DWORD id() const { return id_; }
    HANDLE handle() const { return handle_.get(); }
    bool running() const;

    // Posts WM_QUIT to the thread and waits for its end; its exit code. The quit is posted
    // again while the thread lives, in case a loop inside it swallowed the first one, and
    // messages sent to this thread meanwhile are handled, so that a worker that sends to one
    // of our windows cannot block the wait. A thread still running after timeoutMs is let go
    // (it runs on to the end of the process): STILL_ACTIVE.
    DWORD quitAndWait(DWORD timeoutMs = INFINITE);
    // Waits for the end in the same way, without asking.
    DWORD wait();

private:
    DWORD waitFor(bool postQuit, DWORD timeoutMs);

    platform::win32::KernelHandle handle_;
    DWORD id_ = 0;
};

}  // namespace fw
