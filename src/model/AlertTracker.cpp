#include "model/AlertTracker.h"

#include <algorithm>
#include <utility>

#include "base/Utf16Units.h"
#include "model/ChannelRules.h"

namespace {

// What one boss adds to an alert: its name and one item per channel or respawn.
struct Section {
    std::string bossName;
    std::vector<std::string> items;
};

// The sections boss by boss, as many items as kMostChannelsNamed and kLongestText allow, the rest counted; cut
// between items, never inside one.
std::string joinedText(const std::vector<Section>& sections) {
    size_t total = 0;
    for (const Section& section : sections) total += section.items.size();
    const auto withRest = [&](const std::string& named, size_t count) {
        return count == total ? named : named + " and " + std::to_string(total - count) + " more";
    };
    // A boss name too long for even one item leaves only the count.
    std::string best = std::to_string(total) + " alerts";
    std::string named;
    size_t count = 0;
    for (const Section& section : sections) {
        for (size_t i = 0; i < section.items.size(); ++i) {
            if (count == AlertTracker::kMostChannelsNamed) return best;
            if (i > 0) {
                named += ", ";
            } else {
                if (count > 0) named += "; ";
                if (!section.bossName.empty()) named += section.bossName + ": ";
            }
            named += section.items[i];
            ++count;
            if (utf16Units(named) > AlertTracker::kLongestText) return best;
            std::string candidate = withRest(named, count);
            if (utf16Units(candidate) <= AlertTracker::kLongestText) best = std::move(candidate);
        }
    }
    return best;
}

}  // namespace

std::vector<Alert> AlertTracker::update(const std::vector<AlertFeed>& feeds, const AlertRules& rules) {
    const std::vector<Covered> covered = cover(feeds);
    for (const Covered& boss : covered) {
        if (!rules.dying) boss.state->forgetDying();
        if (!rules.respawn) boss.state->forgetRespawn();
    }
    if (!rules.dying) groupStartMs_.reset();

    std::vector<Alert> alerts;
    if (covered.empty()) return alerts;
    const uint64_t tickMs = covered.front().feed->tickMs;
    if (rules.dying) {
        // A group that is due goes out before this tick's crossings, which start the next one.
        if (std::optional<std::string> text = takeDueGroup(covered, tickMs)) {
            alerts.push_back(withSoundLimit(std::move(*text), tickMs, rules));
        }
        bool pending = false;
        for (const Covered& boss : covered) {
            boss.state->trackDying(*boss.feed, rules);
            pending = pending || boss.state->crossingsPending();
        }
        if (!pending) {
            groupStartMs_.reset();
        } else if (!groupStartMs_) {
            groupStartMs_ = tickMs;
        }
    }
    if (rules.respawn) {
        std::vector<Section> sections;
        for (const Covered& boss : covered) {
            if (const std::optional<int64_t> remaining = boss.state->trackRespawn(*boss.feed, rules)) {
                sections.push_back({boss.feed->bossName, {"respawn in " + std::to_string(*remaining) + " s"}});
            }
        }
        if (!sections.empty()) alerts.push_back(withSoundLimit(joinedText(sections), tickMs, rules));
    }
    return alerts;
}

std::vector<AlertTracker::Covered> AlertTracker::cover(const std::vector<AlertFeed>& feeds) {
    std::map<std::string, BossAlertState> kept;
    std::vector<Covered> covered;
    for (const AlertFeed& feed : feeds) {
        if (feed.bossId.empty() || kept.count(feed.bossId) > 0) continue;
        auto node = bosses_.extract(feed.bossId);
        auto place = node ? kept.insert(std::move(node)).position : kept.try_emplace(feed.bossId).first;
        covered.push_back({&feed, &place->second});
    }
    bosses_ = std::move(kept);
    return covered;
}

std::optional<std::string> AlertTracker::takeDueGroup(const std::vector<Covered>& covered, uint64_t tickMs) {
    if (!groupStartMs_ || tickMs - *groupStartMs_ < kGroupMs) return std::nullopt;
    groupStartMs_.reset();
    std::vector<Section> sections;
    for (const Covered& boss : covered) {
        Section section{boss.feed->bossName, {}};
        for (const BossAlertState::Crossing& crossing : boss.state->takeCrossings(tickMs)) {
            section.items.push_back("Ch. " + std::to_string(crossing.channelNumber) + " in " +
                                    secondsToDeathText(crossing.etd));
        }
        if (!section.items.empty()) sections.push_back(std::move(section));
    }
    if (sections.empty()) return std::nullopt;
    return joinedText(sections);
}

Alert AlertTracker::withSoundLimit(std::string text, uint64_t tickMs, const AlertRules& rules) {
    const bool sound = rules.sound && (!lastSoundMs_ || tickMs - *lastSoundMs_ >= kSoundGapMs);
    if (sound) lastSoundMs_ = tickMs;
    return {std::move(text), sound};
}
