#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/WorkerThread.h"
#include "net/NtpClockState.h"

struct NtpServer {
    std::string host;
    std::uint16_t port = 123;
};

// The public servers the program asks, in the order it asks them.
std::vector<NtpServer> defaultNtpServers();

struct NtpTiming {
    std::chrono::milliseconds timeout{5000};     // for sending to and hearing from one server
    std::chrono::milliseconds failedPause{500};  // after each server that gave no usable answer
};

// Wall clock corrected against NTP servers, falling back to the local clock until the first successful sync.
// Background syncs run one at a time on a worker that co-owns the clock's state and the server list, so
// destroying the clock while one still waits for an answer is harmless: it finishes into state nobody reads.
class NtpClock {
public:
    // ticks: the monotonic milliseconds behind now and isFresh.
    explicit NtpClock(std::vector<NtpServer> servers = defaultNtpServers(),
                      NtpClockState::TickSource ticks = monotonicTicks, NtpTiming timing = {});
    ~NtpClock();  // does not wait for a sync in flight
    NtpClock(const NtpClock&) = delete;
    NtpClock& operator=(const NtpClock&) = delete;

    std::int64_t now() const { return state->now(); }
    std::uint32_t msUntilNextSecond() const { return state->msUntilNextSecond(); }
    std::int64_t lastSyncTime() const { return state->lastSyncTime(); }
    bool isFresh() const { return state->isFresh(); }

    // Asks the servers in order until one answers acceptably; blocks up to timeout plus pause per server.
    bool sync();
    // Runs sync in the background unless one is still running, in which case it does nothing: an unanswered
    // sync can outlast the resync period, and overlapping ones would only race to publish.
    // False when no thread could be started.
    bool syncAsync();

    static std::uint64_t monotonicTicks();

private:
    std::shared_ptr<const std::vector<NtpServer>> servers;
    std::shared_ptr<NtpClockState> state;
    NtpTiming timing;
    std::unique_ptr<WorkerThread> background;
};
