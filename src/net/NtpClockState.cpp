#include "net/NtpClockState.h"

#include <chrono>
#include <ctime>
#include <utility>

namespace {

constexpr std::uint64_t kFreshWindowMs = 86400000;

}  // namespace

NtpClockState::NtpClockState(TickSource ticks) : tickSource(std::move(ticks)) {}

std::int64_t NtpClockState::now() const {
    std::lock_guard<std::mutex> guard(lock);
    if (!synced) return static_cast<std::int64_t>(std::time(nullptr));
    return serverUnixTime + static_cast<std::int64_t>((tickSource() - syncTick) / 1000);
}

std::uint32_t NtpClockState::msUntilNextSecond() const {
    std::lock_guard<std::mutex> guard(lock);
    std::uint64_t intoSecond = 0;
    if (synced) {
        intoSecond = (tickSource() - syncTick) % 1000;
    } else {
        const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
        intoSecond = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000);
    }
    return static_cast<std::uint32_t>(1000 - intoSecond);
}

std::int64_t NtpClockState::lastSyncTime() const {
    std::lock_guard<std::mutex> guard(lock);
    return synced ? serverUnixTime : 0;
}

bool NtpClockState::isFresh() const {
    std::lock_guard<std::mutex> guard(lock);
    return synced && tickSource() - lastSyncTick < kFreshWindowMs;
}

void NtpClockState::publish(std::uint32_t unixTime) {
    std::lock_guard<std::mutex> guard(lock);
    syncTick = tickSource();
    lastSyncTick = syncTick;
    serverUnixTime = unixTime;
    synced = true;
}
