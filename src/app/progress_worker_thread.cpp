#include "app/progress_worker_thread.h"

#include "fw/message_loop.h"

namespace {

class ThreadLoop : public ThreadMessageLoop {
public:
    bool dispatchNext() override {
        int quitCode = 0;
        return fw::pumpMessage(quitCode);
    }
};

}  // namespace

ProgressWorkerThread::~ProgressWorkerThread() {
    // Bounded, unlike the wait of fw::Thread's own destructor.
    if (thread_.running()) quitAndWait(PROGRESS_THREAD_QUIT_MS);
}

bool ProgressWorkerThread::start(std::function<void(ThreadMessageLoop&)> body) {
    // fw::Thread returns once the thread's queue exists, so the quit cannot be lost.
    return thread_.start([body = std::move(body)]() -> DWORD {
        ThreadLoop loop;
        body(loop);
        return 0;
    });
}

bool ProgressWorkerThread::quitAndWait(std::uint32_t timeoutMs) {
    return thread_.quitAndWait(timeoutMs) != STILL_ACTIVE;
}
