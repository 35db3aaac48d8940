#pragma once
// The progress thread of the installation passes on the framework's worker thread.
#include "fw/thread.h"
#include "run/progress_thread.h"

class ProgressWorkerThread : public WorkerThread {
public:
    ~ProgressWorkerThread() override;
    bool start(std::function<void(ThreadMessageLoop&)> body) override;
    bool quitAndWait(std::uint32_t timeoutMs) override;

private:
    fw::Thread thread_;
};
