#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
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

// The chosen boss as one data tick sees it.
struct AlertFeed {
    std::string bossId;  // empty: no boss chosen
    std::string bossName;
    std::vector<ChannelStatus> channels;    // the tracker's reports, dead and stale ones included
    std::optional<int64_t> respawnSeconds;  // none: the boss has no countdown
    int64_t now = 0;                        // corrected Unix seconds, for freshness and the respawn hour
    uint64_t tickMs = 0;                    // a monotonic tick, for grouping and the sound limit
};

// One alert to raise: its text (UTF-8) and whether it may sound.
struct Alert {
    std::string text;
    bool sound = false;

    bool operator==(const Alert& o) const { return text == o.text && sound == o.sound; }
};

// Decides which alerts to raise for the chosen boss, fed on every data tick.
//
// Dying: a fresh channel whose time to death falls to dyingSeconds or less alerts once per life; it
// alerts again only after it died, or its time to death rose above twice the threshold. Channels that
// cross within kGroupMs make one alert, raised when that time has passed; a channel is named in it once, and
// not at all if it died, rose above twice the threshold or went unreported meanwhile. After its alert a channel
// stays quiet for kQuietMs.
// Respawn: the countdown reaching respawnSeconds alerts once per respawn.
// Choosing another boss, or switching an alert on, takes what is already under the threshold as known,
// so that the switch itself never alerts. At most one alert per kSoundGapMs may sound.
class AlertTracker {
public:
    static constexpr uint64_t kGroupMs = 2000;
    static constexpr uint64_t kSoundGapMs = 5000;
    // A channel whose reports flip between dead and alive would otherwise alert every kGroupMs without end.
    static constexpr uint64_t kQuietMs = 180000;
    // More channels in one alert are counted, not named: the tray shows only short texts.
    static constexpr size_t kMostChannelsNamed = 5;

    std::vector<Alert> update(const AlertFeed& feed, const AlertRules& rules);

private:
    struct Crossing {
        int32_t channelNumber;
        double etd;
    };

    void forgetDying();
    void forgetRespawn();
    void trackDying(const AlertFeed& feed, const AlertRules& rules);
    std::optional<std::string> takeDueGroup(const AlertFeed& feed);
    std::optional<std::string> trackRespawn(const AlertFeed& feed, const AlertRules& rules);
    Alert withSoundLimit(std::string text, const AlertFeed& feed, const AlertRules& rules);

    std::string bossId_;
    // Until the first channels after a reset arrive, crossings are not news.
    bool dyingWatched_ = false;
    std::set<int32_t> alertedChannels_;  // alerted in their current life
    std::vector<Crossing> group_;
    std::map<int32_t, uint64_t> quietUntilMs_;  // by channel number; only channels alerted within kQuietMs
    uint64_t groupStartMs_ = 0;
    bool respawnWatched_ = false;
    std::optional<int64_t> respawnAlertedAt_;  // the respawn instant last alerted for
    std::optional<uint64_t> lastSoundMs_;
};
