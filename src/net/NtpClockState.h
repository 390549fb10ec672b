#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

// The corrected wall clock: the server time of the last successful sync plus the monotonic time elapsed since,
// or the local clock until a sync has succeeded. Read and published from any thread; its lock is a leaf, so
// callers may hold their own locks while reading it.
class NtpClockState {
public:
    using TickSource = std::function<std::uint64_t()>;  // monotonic milliseconds

    explicit NtpClockState(TickSource ticks);
    NtpClockState(const NtpClockState&) = delete;
    NtpClockState& operator=(const NtpClockState&) = delete;

    std::int64_t now() const;           // Unix seconds
    // Milliseconds, 1 to 1000, until now() next moves on: a display of seconds wakes only then.
    std::uint32_t msUntilNextSecond() const;
    std::int64_t lastSyncTime() const;  // server Unix seconds of the last sync, 0 before the first
    bool isFresh() const;               // synced within the last 24 h
    void publish(std::uint32_t unixTime);

private:
    const TickSource tickSource;
    mutable std::mutex lock;
    std::uint64_t syncTick = 0;
    std::int64_t serverUnixTime = 0;
    std::uint64_t lastSyncTick = 0;
    bool synced = false;
};
