#include "app/progress_worker_thread.h"

#include "fw/message_loop.h"
#include "fw/thread.h"

namespace {

constexpr DWORD REPOST_MS = 250;

class ThreadLoop : public ThreadMessageLoop {
public:
    bool dispatchNext() override {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) return false;
        fw::dispatchMessage(msg);
        return true;
    }
};

}  // namespace

ProgressWorkerThread::ProgressWorkerThread() = default;

ProgressWorkerThread::~ProgressWorkerThread() {
    if (thread_) quitAndWait(PROGRESS_THREAD_QUIT_MS);
}

bool ProgressWorkerThread::start(std::function<void(ThreadMessageLoop&)> body) {
    if (thread_ && thread_->running()) return false;
    thread_ = std::make_unique<fw::Thread>();
    // fw::Thread returns once the thread's queue exists, so the quit cannot be lost.
    return thread_->start([body = std::move(body)]() -> DWORD {
        ThreadLoop loop;
        body(loop);
        return 0;
    });
}

bool ProgressWorkerThread::quitAndWait(std::uint32_t timeoutMs) {
    if (!thread_) return true;
    HANDLE handle = thread_->handle();
    const DWORD started = ::GetTickCount();
    ::PostThreadMessageA(thread_->id(), WM_QUIT, 0, 0);
    for (;;) {
        DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, REPOST_MS, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
        if (r == WAIT_OBJECT_0 + 1) {
            // A message sent to one of our windows by the thread is handled, or both wait.
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (::GetTickCount() - started >= timeoutMs) {
            // A thread that does not end is left to the end of the process: its object is
            // given up, as destroying it would wait again.
            (void)thread_.release();
            return false;
        } else {
            // A modal loop inside the thread may have taken the first quit.
            ::PostThreadMessageA(thread_->id(), WM_QUIT, 0, 0);
        }
    }
    thread_.reset();
    return true;
}
