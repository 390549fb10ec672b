#pragma once

#include <cstdint>
#include <vector>

#include "net/TrackerRecords.h"

// A channel report as a test needs it: a rate comes with every estimate, as from the tracker.
inline ChannelStatus makeChannel(int32_t number, int32_t hp = 50, int64_t updated = 0, double etd = -1.0) {
    ChannelStatus c;
    c.channelNumber = number;
    c.lastHp = hp;
    c.lastUpdateTime = updated;
    c.etd = etd;
    c.dps = etd > 0 ? 0.5 : 0.0;
    return c;
}

// The channel numbers of channels or rows, in their order.
template <typename Item>
std::vector<int32_t> channelNumbers(const std::vector<Item>& items) {
    std::vector<int32_t> numbers;
    for (const Item& item : items) numbers.push_back(item.channelNumber);
    return numbers;
}
