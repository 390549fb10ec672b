#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/TrackerRecords.h"

// Which alerts the player asked for, and their thresholds in seconds.
struct AlertRules {
    bool dying = false;
    int32_t dyingSeconds = 60;
    bool respawn = false;
    int32_t respawnSeconds = 60;
    bool sound = true;
};

// One boss the alerts cover, as one data tick sees it.
struct AlertFeed {
    std::string bossId;  // empty: no boss
    std::string bossName;
    std::vector<ChannelStatus> channels;    // the tracker's reports, dead and stale ones included
    std::optional<int64_t> respawnSeconds;  // none: the boss has no countdown
    int64_t now = 0;                        // corrected Unix seconds, for freshness and the respawn hour
    uint64_t tickMs = 0;                    // a monotonic tick, for grouping and the sound limit
};
