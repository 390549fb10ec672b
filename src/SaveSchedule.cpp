#include "SaveSchedule.h"

#include <algorithm>

void SaveSchedule::changed(uint64_t nowMs) {
    if (!pending_) firstChangeMs_ = nowMs;
    pending_ = true;
    lastChangeMs_ = nowMs;
}

void SaveSchedule::saved() {
    pending_ = false;
    failures_ = 0;
}

bool SaveSchedule::failed(uint64_t nowMs) {
    if (failures_ == kRetries) {
        failures_ = 0;
        return false;
    }
    retryMs_ = nowMs + (kFirstRetryMs << failures_);
    ++failures_;
    pending_ = true;
    return true;
}

uint64_t SaveSchedule::msUntilDue(uint64_t nowMs) const {
    uint64_t dueMs = std::min(lastChangeMs_ + kQuietMs, firstChangeMs_ + kLongestWaitMs);
    if (failures_ > 0) dueMs = std::max(dueMs, retryMs_);
    return dueMs > nowMs ? dueMs - nowMs : 0;
}
