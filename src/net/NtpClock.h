#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/NtpClockState.h"

struct NtpServer {
    std::string host;
    std::uint16_t port = 123;
};

// The public servers the program asks, in the order it asks them.
std::vector<NtpServer> defaultNtpServers();

// Wall clock corrected against NTP servers, falling back to the local clock until the first successful sync.
// Syncs run on detached threads that co-own the clock's state and the server list, so destroying the clock
// while one is still waiting for an answer is harmless: it finishes into state nobody reads any more.
class NtpClock {
public:
    // ticks: the monotonic milliseconds behind now and isFresh.
    explicit NtpClock(std::vector<NtpServer> servers = defaultNtpServers(),
                      NtpClockState::TickSource ticks = monotonicTicks);
    NtpClock(const NtpClock&) = delete;
    NtpClock& operator=(const NtpClock&) = delete;

    std::int64_t now() const { return state->now(); }
    std::int64_t lastSyncTime() const { return state->lastSyncTime(); }
    bool isFresh() const { return state->isFresh(); }

    // Asks the servers in order until one answers acceptably; blocks for up to about 5.5 s per server.
    bool sync();
    // Runs sync on a detached thread; false when no thread could be started.
    bool syncAsync();

    static std::uint64_t monotonicTicks();

private:
    std::shared_ptr<const std::vector<NtpServer>> servers;
    std::shared_ptr<NtpClockState> state;
};
