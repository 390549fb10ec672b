#include "net/NtpClockState.h"

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
