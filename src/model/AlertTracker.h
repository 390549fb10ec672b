#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/AlertFeed.h"
#include "model/BossAlertState.h"

// One alert to raise: its text (UTF-8) and whether it may sound.
struct Alert {
    std::string text;
    bool sound = false;

    bool operator==(const Alert& o) const { return text == o.text && sound == o.sound; }
};

// Decides which alerts to raise for the bosses the alerts cover (the chosen one and the watched ones), fed one
// AlertFeed per boss on every data tick. Each boss keeps its own state (BossAlertState) for as long as it is
// fed, also while the tracker reports none of its channels; a boss no longer fed is forgotten, so that covering
// it again, like choosing it or switching an alert on, takes what is already under a threshold as known.
//
// Channels that cross within kGroupMs, of whichever bosses, make one alert, raised when that time has passed and
// naming them boss by boss in the order of the feeds. The respawns due in one tick make one alert. At most one
// alert per kSoundGapMs may sound.
class AlertTracker {
public:
    static constexpr uint64_t kGroupMs = 2000;
    static constexpr uint64_t kSoundGapMs = 5000;
    // More channels in one alert are counted, not named: the tray shows only short texts.
    static constexpr std::size_t kMostChannelsNamed = 5;
    // The shell's notification text holds 255 UTF-16 units; this leaves room to spare.
    static constexpr std::size_t kLongestText = 240;

    // A feed with no boss id, or one whose boss came earlier in `feeds`, is passed over.
    std::vector<Alert> update(const std::vector<AlertFeed>& feeds, const AlertRules& rules);

private:
    struct Covered {
        const AlertFeed* feed;
        BossAlertState* state;
    };

    std::vector<Covered> cover(const std::vector<AlertFeed>& feeds);
    std::optional<std::string> takeDueGroup(const std::vector<Covered>& covered, uint64_t tickMs);
    Alert withSoundLimit(std::string text, uint64_t tickMs, const AlertRules& rules);

    std::map<std::string, BossAlertState> bosses_;  // by boss id
    std::optional<uint64_t> groupStartMs_;
    std::optional<uint64_t> lastSoundMs_;
};
