#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "model/AlertFeed.h"

// What the alerts know of one boss between data ticks: which channels alerted in their current life, which
// crossed and wait for their group's alert, which keep quiet after one, and the respawn last alerted for.
//
// Dying: a fresh channel whose time to death falls to dyingSeconds or less crosses once per life; it crosses
// again only after it died, or its time to death rose above twice the threshold. A pending crossing is dropped
// when its channel dies, rises above twice the threshold or goes unreported. After its alert a channel stays
// quiet for kQuietMs. Respawn: the countdown reaching respawnSeconds is due once per respawn.
// What is already under a threshold when its tracking starts is taken as known.
class BossAlertState {
public:
    // A channel whose reports flip between dead and alive would otherwise alert every group time without end.
    static constexpr uint64_t kQuietMs = 180000;

    struct Crossing {
        int32_t channelNumber;
        double etd;
    };

    void forgetDying();
    void forgetRespawn();
    void trackDying(const AlertFeed& feed, const AlertRules& rules);
    bool crossingsPending() const { return !group_.empty(); }
    // The pending crossings, soonest first, whose channels then keep quiet.
    std::vector<Crossing> takeCrossings(uint64_t tickMs);
    // The seconds left when the countdown reached its threshold this tick, once per respawn.
    std::optional<int64_t> trackRespawn(const AlertFeed& feed, const AlertRules& rules);

private:
    // Until the first channels after a reset arrive, crossings are not news.
    bool dyingWatched_ = false;
    std::set<int32_t> alertedChannels_;  // alerted in their current life
    std::vector<Crossing> group_;
    std::map<int32_t, uint64_t> quietUntilMs_;  // by channel number; only channels alerted within kQuietMs
    bool respawnWatched_ = false;
    std::optional<int64_t> respawnAlertedAt_;  // the respawn instant last alerted for
};
