#pragma once

#include <cstdint>

// When the clock asks its NTP servers again: every kRefreshMs while it is fresh and, while it is not, after a wait
// that starts at kFirstRetryMs and doubles with each attempt up to kRefreshMs, so that a machine without a
// reachable server does not ask every few seconds for hours.
class NtpSyncSchedule {
public:
    static constexpr std::uint32_t kFirstRetryMs = 10000;
    static constexpr std::uint32_t kRefreshMs = 300000;

    // The wait from an attempt starting now to the next one, given whether the clock is fresh now.
    std::uint32_t nextDelayMs(bool fresh);

private:
    std::uint32_t retryMs = kFirstRetryMs;
};
