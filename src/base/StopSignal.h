#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A stop request that sleeping workers hear at once. Waiting on it costs one wake-up per pause,
// where polling a flag in short sleeps woke the thread many times a second for nothing.
class StopSignal {
public:
    void request();
    bool requested() const;
    // Waits up to `pause`, or until a stop is requested; true when it was.
    bool waitFor(std::chrono::milliseconds pause) const;
    // Waits until a stop is requested.
    void wait() const;

private:
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    bool requested_ = false;
};
