#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/BossEntry.h"
#include "net/TrackerRecords.h"

// The rules over one boss's channels. Every rule takes `now` (corrected Unix seconds) from its
// caller, read once per pass, so that all channels of a pass are judged against the same instant.

enum class ChannelState { Fresh, Stale, Dead };

constexpr uint32_t kStaleBarColor = 0x808080;
constexpr uint32_t kStaleTextColor = 0xC8C8C8;

// Seconds a report stays fresh: untouched bosses are reported rarely, fights often.
int64_t freshnessWindow(int32_t hp);
bool isChannelFresh(const ChannelStatus& status, int64_t now);
ChannelState classifyChannel(const ChannelStatus& status, int64_t now);
int countFreshChannels(const BossEntry& entry, int64_t now);
std::vector<ChannelStatus> liveChannels(const BossEntry& entry);
// Display order: not stale first, then with an estimate, soonest death, most recent, lowest HP, lowest channel.
bool channelOrderBefore(const ChannelStatus& a, const ChannelStatus& b, int64_t now);
std::vector<ChannelRow> buildChannelRows(const BossEntry& entry, int64_t now);
// A positive time to death in whole seconds, rounded up so that a channel about to die never reads "in 0 s": "45 s".
std::string secondsToDeathText(double etd);
