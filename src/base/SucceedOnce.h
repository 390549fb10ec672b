#pragma once

#include <functional>
#include <mutex>

// A one-time start-up step that may fail: it runs until it has succeeded once. Unlike std::call_once, a
// failed attempt is not remembered for the life of the process; the next call tries again.
class SucceedOnce {
public:
    // True once `attempt` has returned true, in this call or an earlier one. Callers on other threads wait
    // for an attempt in progress.
    bool run(const std::function<bool()>& attempt);

private:
    std::mutex lock_;
    bool succeeded_ = false;
};
