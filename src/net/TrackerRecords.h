#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One boss as the tracker lists it. `id` is the tracker's record id and keys every map.
struct BossInfo {
    std::string id;
    std::string name;
    int32_t uid = 0;
    int32_t respawnTime = 0;  // minute of the hour at which the boss respawns
    std::string type;         // "magical_creature" has no respawn countdown
};

// One game channel of one boss as last reported.
struct ChannelStatus {
    int32_t channelNumber = 0;
    int32_t lastHp = 0;  // percent
    std::string lastUpdate;
    int64_t lastUpdateTime = 0;  // Unix seconds UTC parsed from lastUpdate; 0 when missing or unparsable
    double dps = 0.0;            // HP percent lost per second, as the tracker computed it
    double etd = -1.0;           // seconds until death; 0 or less means no estimate
    std::string deathTimeEstimate;
};

// Boss id -> that boss's channels in the tracker's order.
using AllStatusMap = std::map<std::string, std::vector<ChannelStatus>>;

struct TrafficSnapshot {
    uint64_t bytesReceivedTotal = 0;
    uint64_t bytesSentTotal = 0;
    uint64_t lastBytesReceived = 0;
    uint64_t lastBytesSent = 0;
    int32_t connectionState = 0;     // 2 while the client's worker runs, else 0
    uint32_t reconnectAttempts = 0;  // all-status reads failed since the last that succeeded
};
