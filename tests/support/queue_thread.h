#pragma once
// A worker thread whose message loop takes functions from a queue: the progress thread of an
// installation pass run for real without a window system.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "run/progress_thread.h"

namespace testing_support {

class QueueThread : public WorkerThread {
public:
    ~QueueThread() override;
    bool start(std::function<void(ThreadMessageLoop&)> body) override;
    bool quitAndWait(std::uint32_t timeoutMs) override;
    // Runs message on the thread as its next dispatched message.
    void post(std::function<void()> message);

    bool failStart = false;
    int starts = 0;

private:
    class Loop;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> queue_;
    bool quit_ = false;
    bool ended_ = false;
    std::thread thread_;
};

}  // namespace testing_support
