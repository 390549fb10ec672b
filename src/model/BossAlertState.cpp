#include "model/BossAlertState.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "model/ChannelRules.h"

void BossAlertState::forgetDying() {
    dyingWatched_ = false;
    alertedChannels_.clear();
    group_.clear();
    quietUntilMs_.clear();
}

void BossAlertState::forgetRespawn() {
    respawnWatched_ = false;
    respawnAlertedAt_.reset();
}

void BossAlertState::trackDying(const AlertFeed& feed, const AlertRules& rules) {
    const bool baseline = !dyingWatched_;
    if (baseline && feed.channels.empty()) return;
    dyingWatched_ = true;
    for (auto quiet = quietUntilMs_.begin(); quiet != quietUntilMs_.end();) {
        quiet = feed.tickMs >= quiet->second ? quietUntilMs_.erase(quiet) : std::next(quiet);
    }
    const double threshold = rules.dyingSeconds;
    // Rebuilt from the channels reported now, so that channels the tracker dropped are not kept forever.
    std::set<int32_t> alerted;
    for (const ChannelStatus& channel : feed.channels) {
        const int32_t number = channel.channelNumber;
        const bool wasAlerted = alertedChannels_.count(number) > 0 || alerted.count(number) > 0;
        bool isAlerted = wasAlerted;
        switch (classifyChannel(channel, feed.now)) {
            case ChannelState::Dead:
                isAlerted = false;
                break;
            case ChannelState::Stale:
                break;
            case ChannelState::Fresh:
                // Written as "> 0" so that a NaN estimate counts as none.
                if (channel.etd > 2 * threshold) {
                    isAlerted = false;
                } else if (channel.etd > 0 && channel.etd <= threshold) {
                    isAlerted = true;
                    if (!wasAlerted && !baseline && quietUntilMs_.count(number) == 0) {
                        group_.push_back({number, channel.etd});
                    }
                }
                break;
        }
        if (isAlerted) alerted.insert(number);
    }
    group_.erase(std::remove_if(group_.begin(), group_.end(),
                                [&](const Crossing& crossing) { return alerted.count(crossing.channelNumber) == 0; }),
                 group_.end());
    alertedChannels_ = std::move(alerted);
}

std::vector<BossAlertState::Crossing> BossAlertState::takeCrossings(uint64_t tickMs) {
    std::stable_sort(group_.begin(), group_.end(), [](const Crossing& a, const Crossing& b) { return a.etd < b.etd; });
    for (const Crossing& crossing : group_) quietUntilMs_[crossing.channelNumber] = tickMs + kQuietMs;
    return std::exchange(group_, {});
}

std::optional<int64_t> BossAlertState::trackRespawn(const AlertFeed& feed, const AlertRules& rules) {
    if (!feed.respawnSeconds) return std::nullopt;
    const int64_t remaining = *feed.respawnSeconds;
    // The same instant for every tick of the hour before it, whatever small steps the clock takes.
    const int64_t respawnAt = feed.now + remaining;
    const bool reached = remaining <= rules.respawnSeconds;
    const bool baseline = !respawnWatched_;
    respawnWatched_ = true;
    if (!reached || respawnAlertedAt_ == respawnAt) return std::nullopt;
    respawnAlertedAt_ = respawnAt;
    if (baseline) return std::nullopt;
    return remaining;
}
