#include "net/NtpSyncSchedule.h"

#include <algorithm>

std::uint32_t NtpSyncSchedule::nextDelayMs(bool fresh) {
    if (fresh) {
        retryMs = kFirstRetryMs;
        return kRefreshMs;
    }
    const std::uint32_t delay = retryMs;
    retryMs = std::min(retryMs * 2, kRefreshMs);
    return delay;
}
