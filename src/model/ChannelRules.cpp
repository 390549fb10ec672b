#include "model/ChannelRules.h"

#include <algorithm>
#include <cmath>

#include "base/StepTimes.h"

int64_t freshnessWindow(int32_t hp) {
    if (hp == 100) return 300;
    if (hp >= 80) return 180;
    return 120;
}

bool isChannelFresh(const ChannelStatus& status, int64_t now) {
    return status.lastHp != 0 && status.lastUpdateTime != 0 &&
           status.lastUpdateTime >= now - freshnessWindow(status.lastHp);
}

ChannelState classifyChannel(const ChannelStatus& status, int64_t now) {
    if (status.lastHp == 0) return ChannelState::Dead;
    return isChannelFresh(status, now) ? ChannelState::Fresh : ChannelState::Stale;
}

int countFreshChannels(const BossEntry& entry, int64_t now) {
    return static_cast<int>(std::count_if(entry.channels.begin(), entry.channels.end(),
                                          [now](const ChannelStatus& c) { return isChannelFresh(c, now); }));
}

std::vector<ChannelStatus> liveChannels(const BossEntry& entry) {
    std::vector<ChannelStatus> live;
    live.reserve(entry.channels.size());
    std::copy_if(entry.channels.begin(), entry.channels.end(), std::back_inserter(live),
                 [](const ChannelStatus& c) { return c.lastHp != 0; });
    return live;
}

bool channelOrderBefore(const ChannelStatus& a, const ChannelStatus& b, int64_t now) {
    const bool aStale = classifyChannel(a, now) == ChannelState::Stale;
    const bool bStale = classifyChannel(b, now) == ChannelState::Stale;
    if (aStale != bStale) return bStale;
    // Written as "> 0" so that a NaN estimate counts as none.
    const bool aEstimate = a.etd > 0;
    const bool bEstimate = b.etd > 0;
    if (aEstimate != bEstimate) return aEstimate;
    if (aEstimate && a.etd != b.etd) return a.etd < b.etd;
    if (a.lastUpdateTime != 0 && b.lastUpdateTime != 0 && a.lastUpdateTime != b.lastUpdateTime) {
        return a.lastUpdateTime > b.lastUpdateTime;
    }
    if (a.lastHp != b.lastHp) return a.lastHp < b.lastHp;
    return a.channelNumber < b.channelNumber;
}

std::vector<ChannelRow> buildChannelRows(const BossEntry& entry, int64_t now) {
    StepTimer timer(Step::Rows);
    std::vector<ChannelStatus> live = liveChannels(entry);
    // The recency rule skips reports without a time, so three stale channels can order in a cycle. An
    // introsort may then run past the range; a merge sort stays inside it whatever the comparisons say.
    std::stable_sort(live.begin(), live.end(),
                     [now](const ChannelStatus& a, const ChannelStatus& b) { return channelOrderBefore(a, b, now); });
    std::vector<ChannelRow> rows;
    rows.reserve(live.size());
    for (const ChannelStatus& c : live) {
        const bool stale = classifyChannel(c, now) == ChannelState::Stale;
        rows.push_back(
            {c.channelNumber, c.lastHp, c.dps, c.etd, stale ? kStaleBarColor : 0u, stale ? kStaleTextColor : 0u});
    }
    return rows;
}

std::string secondsToDeathText(double etd) {
    // Far beyond any fight, and small enough that the conversion below stays defined.
    constexpr double kLongestShown = 1e9;
    return std::to_string(static_cast<long long>(std::ceil(std::min(etd, kLongestShown)))) + " s";
}
