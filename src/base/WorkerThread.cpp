#include "base/WorkerThread.h"

#include <system_error>
#include <utility>

std::thread startSystemThread(std::function<void()> body) {
    return std::thread(std::move(body));
}

std::unique_ptr<WorkerThread> WorkerThread::start(std::function<void()> body, const ThreadStarter& starter) {
    std::unique_ptr<WorkerThread> worker(new WorkerThread());
    try {
        worker->thread_ = starter([completion = worker->completion_, body = std::move(body)]() mutable {
            body();
            body = nullptr;
            std::lock_guard<std::mutex> guard(completion->lock);
            completion->done = true;
            completion->ended.notify_all();
        });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return worker->thread_.joinable() ? std::move(worker) : nullptr;
}

WorkerThread::~WorkerThread() {
    finish(std::chrono::steady_clock::now());
}

bool WorkerThread::running() const {
    std::lock_guard<std::mutex> guard(completion_->lock);
    return !completion_->done;
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
