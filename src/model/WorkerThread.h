#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// A thread its owner may stop waiting for. finish() joins it when its body has ended by the
// deadline and detaches it otherwise, so the body must own or share everything it touches.
// The body's captures are destroyed on the thread before it reports its end.
class WorkerThread {
public:
    explicit WorkerThread(std::function<void()> body);
    ~WorkerThread();  // gives up at once: joins only a body that has already ended
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when the body was still running at the deadline and the thread was detached.
    bool finish(std::chrono::steady_clock::time_point deadline);

private:
    struct Completion {
        std::mutex lock;
        std::condition_variable ended;
        bool done = false;
    };

    std::shared_ptr<Completion> completion_;
    std::thread thread_;
};
