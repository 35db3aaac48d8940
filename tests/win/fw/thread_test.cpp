// Hand-offs between threads: a worker's post reaches a window of the main thread, and the
// main thread's quit always reaches the worker's loop, or gives up on it after a time-out.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "fw/message_loop.h"
#include "fw/thread.h"
#include "fw/window.h"

namespace {

constexpr UINT FROM_WORKER = WM_APP + 2;

// A worker's loop until WM_QUIT: its code.
DWORD loopUntilQuit() {
    int code = 0;
    while (fw::pumpMessage(code)) {
    }
    return static_cast<DWORD>(code);
}

class Receiver : public fw::Window {
public:
    std::atomic<int> got{0};

protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM) override {
        if (message != FROM_WORKER) return std::nullopt;
        got = static_cast<int>(wParam);
        return 0;
    }
};

TEST(Thread, WorkersPostReachesAMainThreadWindow) {
    Receiver window;
    ASSERT_TRUE(window.create("FwReceiver", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr));
    HWND target = window.hwnd();
    fw::Thread worker;
    ASSERT_TRUE(
        worker.start([target] { return ::PostMessageA(target, FROM_WORKER, 42, 0) ? 0UL : 1UL; }));
    EXPECT_EQ(worker.wait(), 0u);
    MSG msg;
    DWORD start = ::GetTickCount();
    while (window.got == 0 && ::GetTickCount() - start < 20000)
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) fw::dispatchMessage(msg);
    EXPECT_EQ(window.got, 42);
}

TEST(Thread, QuitPostedRightAfterTheStartIsNeverLost) {
    // The queue exists when start() returns: a post at once must be accepted, every time.
    for (int i = 0; i < 50; ++i) {
        fw::Thread worker;
        ASSERT_TRUE(worker.start(&loopUntilQuit));
        ASSERT_TRUE(::PostThreadMessageA(worker.id(), WM_QUIT, 7, 0)) << "round " << i;
        ASSERT_EQ(worker.wait(), 7u);
    }
}

TEST(Thread, QuitAndWaitEndsWhateverTheWorkerDoes) {
    Receiver window;
    ASSERT_TRUE(window.create("FwReceiver", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr));
    HWND target = window.hwnd();
    struct Case {
        const char* name;
        std::function<DWORD()> body;
        DWORD code;
    } cases[] = {
        {"plain loop", &loopUntilQuit, 0},
        {"a loop that swallows the first quit",
         [] {
             MSG msg;
             while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
             }
             return loopUntilQuit() + 5;
         },
         5},
        // The main thread answers while it waits, or neither would ever end.
        {"sends to the main thread first",
         [target] {
             ::SendMessageA(target, FROM_WORKER, 9, 0);
             return loopUntilQuit();
         },
         0},
        {"throws", []() -> DWORD { throw std::runtime_error("worker"); }, fw::Thread::FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fw::Thread worker;
        ASSERT_TRUE(worker.start(c.body));
        EXPECT_EQ(worker.quitAndWait(), c.code);
        EXPECT_FALSE(worker.running());
    }
    EXPECT_EQ(window.got, 9);
}

TEST(Thread, QuitAndWaitGivesUpOnAThreadThatDoesNotEnd) {
    platform::win32::KernelHandle release(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(release);
    HANDLE event = release.get();
    fw::Thread worker;
    ASSERT_TRUE(worker.start([event] { return ::WaitForSingleObject(event, INFINITE); }));
    const DWORD started = ::GetTickCount();
    EXPECT_EQ(worker.quitAndWait(300), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_GE(::GetTickCount() - started, 300u);
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(worker.quitAndWait(300), fw::Thread::FAILED);  // nothing left to wait for
    // The object can start again; the first thread still runs until it is released.
    ASSERT_TRUE(worker.start(&loopUntilQuit));
    EXPECT_EQ(worker.quitAndWait(20000), 0u);
    ::SetEvent(event);
}

}  // namespace
