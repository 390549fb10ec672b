#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/TrackerRecords.h"

// One boss in the channel map. An entry the all-status poller created before the boss list
// arrived holds an empty `boss` (empty id) until the loader stores it.
struct BossEntry {
    BossInfo boss;
    std::vector<ChannelStatus> channels;  // the tracker's order, replaced whole on every update
    bool summarized = false;              // a summary named it: its channels are the freshest there are
    std::string readFailure;              // why its own read failed, while it does; empty otherwise
};

// One line of the progress list. Colours are COLORREF values (0x00BBGGRR); 0 lets the list choose.
struct ChannelRow {
    int32_t channelNumber = 0;
    int32_t hpPercent = 0;
    double dps = 0.0;
    double etd = 0.0;  // 0 or less: no estimate
    uint32_t barColor = 0;
    uint32_t textColor = 0;

    bool operator==(const ChannelRow& o) const {
        return channelNumber == o.channelNumber && hpPercent == o.hpPercent && dps == o.dps && etd == o.etd &&
               barColor == o.barColor && textColor == o.textColor;
    }
    bool operator!=(const ChannelRow& o) const { return !(*this == o); }
};
