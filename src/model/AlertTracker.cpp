#include "model/AlertTracker.h"

#include <algorithm>
#include <cmath>

#include "model/ChannelRules.h"

namespace {

std::string withBossName(const std::string& name, const std::string& body) {
    return name.empty() ? body : name + ": " + body;
}

// Whole seconds, rounded up, so that a channel about to die never reads "in 0 s".
std::string secondsText(double seconds) {
    return std::to_string(static_cast<long long>(std::ceil(seconds))) + " s";
}

}  // namespace

std::vector<Alert> AlertTracker::update(const AlertFeed& feed, const AlertRules& rules) {
    if (feed.bossId != bossId_) {
        bossId_ = feed.bossId;
        forgetDying();
        forgetRespawn();
    }
    if (!rules.dying) forgetDying();
    if (!rules.respawn) forgetRespawn();

    std::vector<Alert> alerts;
    if (bossId_.empty()) return alerts;
    if (rules.dying) {
        // A group that is due goes out before this tick's crossings, which start the next one.
        if (std::optional<std::string> text = takeDueGroup(feed)) alerts.push_back(withSoundLimit(*text, feed, rules));
        trackDying(feed, rules);
    }
    if (rules.respawn) {
        if (std::optional<std::string> text = trackRespawn(feed, rules)) {
            alerts.push_back(withSoundLimit(*text, feed, rules));
        }
    }
    return alerts;
}

void AlertTracker::forgetDying() {
    dyingWatched_ = false;
    alertedChannels_.clear();
    group_.clear();
    quietUntilMs_.clear();
}

void AlertTracker::forgetRespawn() {
    respawnWatched_ = false;
    respawnAlertedAt_.reset();
}

void AlertTracker::trackDying(const AlertFeed& feed, const AlertRules& rules) {
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
                        if (group_.empty()) groupStartMs_ = feed.tickMs;
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

std::optional<std::string> AlertTracker::takeDueGroup(const AlertFeed& feed) {
    if (group_.empty() || feed.tickMs - groupStartMs_ < kGroupMs) return std::nullopt;
    std::stable_sort(group_.begin(), group_.end(), [](const Crossing& a, const Crossing& b) { return a.etd < b.etd; });
    std::string body;
    for (size_t i = 0; i < group_.size() && i < kMostChannelsNamed; ++i) {
        if (i > 0) body += ", ";
        body += "Ch. " + std::to_string(group_[i].channelNumber) + " in " + secondsText(group_[i].etd);
    }
    if (group_.size() > kMostChannelsNamed)
        body += " and " + std::to_string(group_.size() - kMostChannelsNamed) + " more";
    for (const Crossing& crossing : group_) quietUntilMs_[crossing.channelNumber] = feed.tickMs + kQuietMs;
    group_.clear();
    return withBossName(feed.bossName, body);
}

std::optional<std::string> AlertTracker::trackRespawn(const AlertFeed& feed, const AlertRules& rules) {
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
    return withBossName(feed.bossName, "respawn in " + secondsText(static_cast<double>(remaining)));
}

Alert AlertTracker::withSoundLimit(std::string text, const AlertFeed& feed, const AlertRules& rules) {
    const bool sound = rules.sound && (!lastSoundMs_ || feed.tickMs - *lastSoundMs_ >= kSoundGapMs);
    if (sound) lastSoundMs_ = feed.tickMs;
    return {std::move(text), sound};
}
