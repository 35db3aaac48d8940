#pragma once
// The progress thread of an installation pass: a thread with a message loop of its own that
// keeps a minimized progress window alive while the installers run on the main thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {
class Clock;
class ProgressSink;
}  // namespace platform

// The message loop of the thread that uses it.
class ThreadMessageLoop {
public:
    virtual ~ThreadMessageLoop() = default;
    // Waits for the thread's next message, translates and dispatches it; false on the quit
    // message or when the retrieval fails.
    virtual bool dispatchNext() = 0;
};

// A thread with a message loop, started and ended once per pass; the object can be reused.
class WorkerThread {
public:
    virtual ~WorkerThread() = default;
    // Runs body on a new thread; false when no thread can be started.
    virtual bool start(std::function<void(ThreadMessageLoop&)> body) = 0;
    // Ends the thread's loop and waits for the thread. The request is never lost, even when
    // the thread has not made its message queue yet; false when the thread has not ended
    // within timeoutMs (the caller goes on without it).
    virtual bool quitAndWait(std::uint32_t timeoutMs) = 0;
};

inline constexpr std::uint32_t PROGRESS_PUMP_MS = 500;
// How long the main thread waits for the progress thread before it goes on without it.
inline constexpr std::uint32_t PROGRESS_THREAD_QUIT_MS = 30000;

// The body of the progress thread: a minimized progress window with Cancel, titled title,
// kept alive by the thread's loop; messages are pumped at most every 500 ms, and a cancel
// by the user sets cancelRequested. Returns when the loop ends, after removing the window.
void runProgressThread(ThreadMessageLoop& loop, platform::ProgressSink& sink,
                       platform::Clock& clock, const std::string& title,
                       std::atomic<bool>& cancelRequested);
