#include "base/StopSignal.h"

void StopSignal::request() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        requested_ = true;
    }
    changed_.notify_all();
}

bool StopSignal::requested() const {
    std::lock_guard<std::mutex> guard(lock_);
    return requested_;
}

bool StopSignal::waitFor(std::chrono::milliseconds pause) const {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, pause, [this] { return requested_; });
}

void StopSignal::wait() const {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return requested_; });
}
