#pragma once
// The progress thread of the installation passes on the framework's worker thread.
#include <memory>

#include "run/progress_thread.h"

namespace fw {
class Thread;
}

class ProgressWorkerThread : public WorkerThread {
public:
    ProgressWorkerThread();
    ~ProgressWorkerThread() override;
    bool start(std::function<void(ThreadMessageLoop&)> body) override;
    bool quitAndWait(std::uint32_t timeoutMs) override;

private:
    std::unique_ptr<fw::Thread> thread_;
};
