#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Starts a thread running its argument, or throws std::system_error when none can be started, as
// std::thread does. Tests pass one that fails on purpose.
using ThreadStarter = std::function<std::thread(std::function<void()>)>;
std::thread startSystemThread(std::function<void()> body);

// The one way background work runs here: start may fail and says so; the owner asks the body to
// stop through a flag of its own; finish() joins a body that ended by the deadline and detaches one
// that did not, so a body must own or share everything it touches. Its captures are destroyed on
// the thread before it reports its end.
class WorkerThread {
public:
    // Null when no thread could be started; `body` has then not run.
    static std::unique_ptr<WorkerThread> start(std::function<void()> body,
                                               const ThreadStarter& starter = startSystemThread);
    ~WorkerThread();  // gives up at once: joins only a body that has already ended
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    bool running() const;
    // False when the body was still running at the deadline and the thread was detached.
    bool finish(std::chrono::steady_clock::time_point deadline);

private:
    struct Completion {
        std::mutex lock;
        std::condition_variable ended;
        bool done = false;
    };

    WorkerThread() = default;

    std::shared_ptr<Completion> completion_ = std::make_shared<Completion>();
    std::thread thread_;
};
