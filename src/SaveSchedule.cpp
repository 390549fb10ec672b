#include "SaveSchedule.h"

#include <algorithm>

void SaveSchedule::changed(uint64_t nowMs) {
    if (!pending_) firstChangeMs_ = nowMs;
    pending_ = true;
    lastChangeMs_ = nowMs;
}

uint64_t SaveSchedule::msUntilDue(uint64_t nowMs) const {
    const uint64_t dueMs = std::min(lastChangeMs_ + kQuietMs, firstChangeMs_ + kLongestWaitMs);
    return dueMs > nowMs ? dueMs - nowMs : 0;
}
