#include "support/queue_thread.h"

#include <chrono>

namespace testing_support {

class QueueThread::Loop : public ThreadMessageLoop {
public:
    explicit Loop(QueueThread& owner) : owner_(owner) {}
    bool dispatchNext() override {
        std::function<void()> message;
        {
            std::unique_lock<std::mutex> lock(owner_.mutex_);
            owner_.changed_.wait(lock, [&] { return owner_.quit_ || !owner_.queue_.empty(); });
            if (owner_.queue_.empty()) return false;
            message = std::move(owner_.queue_.front());
            owner_.queue_.pop_front();
        }
        message();
        return true;
    }

private:
    QueueThread& owner_;
};

QueueThread::~QueueThread() {
    quitAndWait(60000);
    if (thread_.joinable()) thread_.detach();
}

bool QueueThread::start(std::function<void(ThreadMessageLoop&)> body) {
    if (failStart || thread_.joinable()) return false;
    ++starts;
    quit_ = false;
    ended_ = false;
    queue_.clear();
    thread_ = std::thread([this, body = std::move(body)] {
        Loop loop(*this);
        body(loop);
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    });
    return true;
}

bool QueueThread::quitAndWait(std::uint32_t timeoutMs) {
    if (!thread_.joinable()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    quit_ = true;
    changed_.notify_all();
    if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return ended_; }))
        return false;
    lock.unlock();
    thread_.join();
    return true;
}

void QueueThread::post(std::function<void()> message) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(message));
    changed_.notify_all();
}

}  // namespace testing_support
