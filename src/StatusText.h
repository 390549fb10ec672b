#pragma once

#include <cstdint>
#include <string>

#include "net/ConnectionState.h"
#include "net/TrackerRecords.h"

// The texts of the status line and the cache-age line: pure functions of what the data service reports.

// " | NTP: 14:03:07 UTC" for the last sync, " | NTP: Syncing..." before the first, " | NTP: Error" for an
// instant the calendar cannot show.
std::wstring NtpSuffixText(int64_t lastSyncTime);
// The status line for a connection state, the last request's traffic, the activity index (0..2) and the
// last NTP sync. A connected client whose last summary read failed reads as reconnecting; a state the
// client never announces as disconnected.
std::wstring StatusLineText(unsigned connectionState, const TrafficSnapshot& traffic, int32_t activityIndex,
                            int64_t lastSyncTime);
// "Cache: 0.25s", "Cache: 12.5s", "Cache: 1m 1s", "Cache: 1h 2m"; "Cache: ---" when unknown or beyond a day.
std::wstring CacheAgeText(double seconds);
