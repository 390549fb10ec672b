#include "model/WorkerThread.h"

#include <utility>

WorkerThread::WorkerThread(std::function<void()> body) : completion_(std::make_shared<Completion>()) {
    thread_ = std::thread([completion = completion_, body = std::move(body)]() mutable {
        body();
        body = nullptr;
        std::lock_guard<std::mutex> guard(completion->lock);
        completion->done = true;
        completion->ended.notify_all();
    });
}

WorkerThread::~WorkerThread() {
    finish(std::chrono::steady_clock::now());
}

bool WorkerThread::finish(std::chrono::steady_clock::time_point deadline) {
    if (!thread_.joinable()) return true;
    bool done = false;
    {
        std::unique_lock<std::mutex> guard(completion_->lock);
        done = completion_->ended.wait_until(guard, deadline, [this] { return completion_->done; });
    }
    if (done) {
        thread_.join();
    } else {
        thread_.detach();
    }
    return done;
}
