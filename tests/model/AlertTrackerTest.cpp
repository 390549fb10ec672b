#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "model/AlertTracker.h"
#include "model/NextEvent.h"

void PrintTo(const Alert& alert, std::ostream* out) {
    *out << '"' << alert.text << '"' << (alert.sound ? " with sound" : " silent");
}

namespace {

constexpr int64_t kNow = 1'740'830'400;  // 2025-03-01 12:00:00 UTC

const auto fresh = [](int32_t number, double etd) { return ChannelStatus{number, 50, "", kNow, 0.5, etd, ""}; };
const auto stale = [](int32_t number, double etd) { return ChannelStatus{number, 50, "", 0, 0.5, etd, ""}; };
const auto dead = [](int32_t number) { return ChannelStatus{number, 0, "", kNow, 0.0, 0.0, ""}; };
const auto loud = [](std::string text) { return Alert{text, true}; };
const auto quiet = [](std::string text) { return Alert{text, false}; };
const std::string kLongName(110, 'L');

// A watched boss besides the chosen one; its id doubles as its name.
struct Watched {
    std::string boss;
    std::vector<ChannelStatus> channels;
    std::optional<int64_t> respawnSeconds = std::nullopt;
};

// One data tick. The boss id doubles as its name; the clock follows the tick unless a step moves it.
struct Step {
    uint64_t tickMs;
    std::vector<ChannelStatus> channels;
    std::vector<Alert> expected = {};
    std::optional<int64_t> respawnSeconds = std::nullopt;
    const char* boss = "Wyrm";
    bool alertsOn = true;
    int64_t clockStep = 0;
    std::vector<Watched> watched = {};
};

Step with(Step step, std::vector<Watched> watched) {
    step.watched = std::move(watched);
    return step;
}

// A step once a channel's quiet time is over, the clock held back so that its reports stay fresh.
Step afterQuiet(uint64_t tickMs, std::vector<ChannelStatus> channels, std::vector<Alert> expected = {}) {
    const auto quietSeconds = static_cast<int64_t>(BossAlertState::kQuietMs / 1000);
    return {BossAlertState::kQuietMs + tickMs, channels, expected, std::nullopt, "Wyrm", true, -quietSeconds};
}

const AlertRules kDying{true, 60, false, 60, true}, kRespawn{false, 60, true, 60, true},
    kBoth{true, 60, true, 60, true};

}  // namespace

TEST(AlertTracker, RaisesEachAlertOnceAtItsThreshold) {
    const std::vector<ChannelStatus> calm = {fresh(1, 300), fresh(2, -1), fresh(3, 500)};
    const std::tuple<const char*, AlertRules, std::vector<Step>> cases[] = {
        {"a crossing alerts when its group time is up, with the estimate it crossed at",
         kDying,
         {{0, calm},
          {500, {fresh(1, 45), fresh(2, -1)}},
          {2400, {fresh(1, 43.2), fresh(2, -1)}},
          {2500, {fresh(1, 43), fresh(2, -1)}, {loud("Wyrm: Ch. 1 in 45 s")}}}},
        {"channels crossing within 2 s make one alert, soonest first, each named once",
         kDying,
         {{0, calm},
          {1000, {fresh(3, 58), fresh(16, 300)}},
          {2900, {fresh(3, 57), fresh(16, 45), fresh(16, 46)}},
          {3000, {fresh(3, 56), fresh(16, 44), fresh(7, 59)}, {loud("Wyrm: Ch. 16 in 45 s, Ch. 3 in 58 s")}},
          {5000, {fresh(7, 57)}, {quiet("Wyrm: Ch. 7 in 59 s")}}}},
        {"more than five channels are counted",
         kDying,
         {{0, calm},
          {10, {fresh(1, 9), fresh(2, 8), fresh(3, 7), fresh(4, 6), fresh(5, 5), fresh(6, 4), fresh(7, 0.2)}},
          {2010, {}, {loud("Wyrm: Ch. 7 in 1 s, Ch. 6 in 4 s, Ch. 5 in 5 s, Ch. 4 in 6 s, Ch. 3 in 7 s and 2 more")}}}},
        {"re-armed only by a rise above twice the threshold",
         kDying,
         {{0, calm},
          {10, {fresh(1, 50)}},
          {2010, {fresh(1, 120)}, {loud("Wyrm: Ch. 1 in 50 s")}},
          afterQuiet(3000, {fresh(1, 50)}),
          afterQuiet(5000, {fresh(1, 120.5)}),
          afterQuiet(5500, {fresh(1, 55)}),
          afterQuiet(7500, {}, {loud("Wyrm: Ch. 1 in 55 s")})}},
        {"a channel flipping between dead and alive stays quiet until the end of the quiet after its alert",
         kDying,
         {{0, calm},
          {10, {fresh(1, 50)}},
          {2010, {dead(1)}, {loud("Wyrm: Ch. 1 in 50 s")}},
          {4000, {fresh(1, 50)}},
          {6000, {dead(1)}},
          afterQuiet(2010, {fresh(1, 40)}),
          afterQuiet(4010, {}, {loud("Wyrm: Ch. 1 in 40 s")})}},
        {"crossing twice within the group time names the channel once, at its latest crossing",
         kDying,
         {{0, calm},
          {10, {fresh(1, 50)}},
          {500, {fresh(1, 130)}},
          {1000, {fresh(1, 55)}},
          {2010, {fresh(1, 54)}},
          {3000, {fresh(1, 53)}, {loud("Wyrm: Ch. 1 in 55 s")}}}},
        {"a pending channel that dies or goes unreported is dropped from its group",
         kDying,
         {{0, calm},
          {10, {fresh(1, 50), fresh(2, 40), fresh(3, 45)}},
          {1000, {dead(1), fresh(2, 39)}},
          {2010, {fresh(2, 38)}, {loud("Wyrm: Ch. 2 in 40 s")}}}},
        {"stale reports neither alert nor re-arm",
         kDying,
         {{0, calm},
          {10, {stale(1, 30)}},
          {6000, {fresh(1, 40)}},
          {8000, {stale(1, 500)}, {loud("Wyrm: Ch. 1 in 40 s")}},
          afterQuiet(9000, {fresh(1, 35)}),
          afterQuiet(20000, {fresh(1, 30)})}},
        {"no estimate, broken estimates and no countdown never alert",
         kBoth,
         {{0, calm}, {10, {fresh(1, -1), fresh(2, 0), fresh(3, std::nan("")), fresh(4, -INFINITY)}}, {5000, {}}}},
        {"channels already low when the boss is chosen or its data first arrive do not alert; new ones do",
         kDying,
         {{0, {}},
          {100, {fresh(1, 30), fresh(2, 45)}},
          {6000, {fresh(1, 19), fresh(2, 39), fresh(9, 50)}},
          {8000, {}, {loud("Wyrm: Ch. 9 in 50 s")}}}},
        {"another boss's choice forgets the first boss's pending crossing and low channels",
         kBoth,
         {{0, calm, {}, 300},
          {500, {fresh(1, 40)}, {}, 299},
          {1000, {fresh(1, 30), fresh(2, 300)}, {}, 50, "Hollow Regent"},
          {4000, {fresh(1, 27), fresh(2, 59)}, {}, 47, "Hollow Regent"},
          {6000, {fresh(2, 57)}, {loud("Hollow Regent: Ch. 2 in 59 s")}, 45, "Hollow Regent"}}},
        {"no boss chosen", kBoth, {{0, calm, {}, 600, ""}, {10, {fresh(1, 5)}, {}, 30, ""}, {5000, {}, {}, 10, ""}}},
        {"switching an alert off and on again takes the present as known",
         kBoth,
         {{0, calm, {}, 70},
          {100, {fresh(1, 30)}, {}, 70, "Wyrm", false},
          {1000, {fresh(1, 29)}, {}, 58},
          {5000, {fresh(1, 25)}, {}, 54}}},
        {"the respawn alerts once per hour, when its countdown reaches the threshold",
         kRespawn,
         {{0, {}, {}, 65},
          {5000, {}, {loud("Wyrm: respawn in 60 s")}, 60},
          {6000, {}, {}, 59},
          {3'605'000, {}, {loud("Wyrm: respawn in 60 s")}, 60}}},
        {"a clock step back or a skipped second still alerts once",
         kRespawn,
         {{0, {}, {}, 62},
          {1000, {}, {}, 61},
          {3000, {}, {loud("Wyrm: respawn in 59 s")}, 59},
          {4000, {}, {}, 61, "Wyrm", true, -3},
          {6000, {}, {}, 59, "Wyrm", true, -3}}},
        {"at most one sound in 5 s; the next one 5 s after",
         kBoth,
         {{0, calm, {}, 62},
          {10, {fresh(1, 40)}, {}, 62},
          {2010, {}, {loud("Wyrm: Ch. 1 in 40 s"), quiet("Wyrm: respawn in 60 s")}, 60},
          {2100, {fresh(2, 50)}, {}, 60},
          {5010, {fresh(3, 50)}, {quiet("Wyrm: Ch. 2 in 50 s")}, 57},
          {7010, {}, {loud("Wyrm: Ch. 3 in 50 s")}, 55}}},
        {"thresholds and sound come from the rules; the threshold itself counts, a fraction above it does not",
         AlertRules{true, 10, true, 600, false},
         {{0, calm, {}, 700},
          {10, {fresh(1, 10.4), fresh(2, 10)}, {}, 601},
          {2010, {}, {quiet("Wyrm: Ch. 2 in 10 s"), quiet("Wyrm: respawn in 600 s")}, 600}}},
        {"channels of several bosses crossing within 2 s share one alert, boss by boss; so do their respawns",
         kBoth,
         {with({0, calm, {}, 65}, {{"Herald", calm, 65}}),
          with({500, {fresh(16, 45)}, {}, 65}, {{"Herald", {fresh(3, 58)}, 65}}),
          with({2500, {fresh(16, 43)}, {loud("Wyrm: Ch. 16 in 45 s; Herald: Ch. 3 in 58 s")}, 61},
               {{"Herald", {}, 61}}),
          with({3000, {}, {quiet("Wyrm: respawn in 60 s; Herald: respawn in 60 s")}, 60}, {{"Herald", {}, 60}})}},
        {"one boss's quiet time and alerted channels never silence another's; the sound limit spans them",
         kDying,
         {with({0, calm}, {{"Herald", calm}}), with({10, {fresh(1, 50)}}, {{"Herald", calm}}),
          with({2010, {fresh(1, 49)}, {loud("Wyrm: Ch. 1 in 50 s")}}, {{"Herald", {fresh(1, 40)}}}),
          with({4010, {fresh(1, 47)}, {quiet("Herald: Ch. 1 in 40 s")}}, {{"Herald", {fresh(1, 38)}}})}},
        {"a watched boss gone from the tracker is kept, and its channels returning alert as new lives",
         kDying,
         {with({0, calm}, {{"Herald", {fresh(2, 50)}}}), with({10, calm}, {{"Herald", {}}}),
          with({20, calm}, {{"Herald", {fresh(2, 50)}}}),
          with({2020, calm, {loud("Herald: Ch. 2 in 50 s")}}, {{"Herald", {fresh(2, 48)}}})}},
        {"a text longer than a notification holds names whole channels and counts the rest",
         kDying,
         {with({0, calm}, {{kLongName, calm}, {kLongName + "s", calm}}),
          with({10, {fresh(1, 40)}}, {{kLongName, {fresh(2, 40)}}, {kLongName + "s", {fresh(3, 40)}}}),
          with({2010, {}, {loud("Wyrm: Ch. 1 in 40 s; " + kLongName + ": Ch. 2 in 40 s and 1 more")}},
               {{kLongName, {}}, {kLongName + "s", {}}})}},
    };
    for (const auto& [name, rules, steps] : cases) {
        SCOPED_TRACE(name);
        AlertTracker tracker;
        for (const Step& step : steps) {
            const int64_t now = kNow + static_cast<int64_t>(step.tickMs / 1000) + step.clockStep;
            std::vector<AlertFeed> feeds{{step.boss, step.boss, step.channels, step.respawnSeconds, now, step.tickMs}};
            for (const Watched& w : step.watched)
                feeds.push_back({w.boss, w.boss, w.channels, w.respawnSeconds, now, step.tickMs});
            EXPECT_EQ(tracker.update(feeds, step.alertsOn ? rules : AlertRules{}), step.expected) << step.tickMs;
        }
    }
}

TEST(NextEvent, NamesTheSoonestFreshDeathOrRespawnWithinItsRoom) {
    const std::tuple<const char*, std::vector<AlertFeed>, size_t, std::string> cases[] = {
        {"a fresh channel's death before a later respawn and other bosses' stale, dead or unknown ones",
         {{"w", "Wyrm", {fresh(1, 300), stale(2, 10), fresh(3, -1)}, 400, kNow},
          {"h", "Sunken Herald", {fresh(3, 57.2), dead(4), fresh(5, std::nan(""))}, std::nullopt, kNow}},
         100,
         "Next: Sunken Herald, Ch. 3 dies in 58 s"},
        {"a respawn before any death",
         {{"h", "Herald", {fresh(1, 300)}, 400, kNow}, {"w", "Wyrm", {}, 252, kNow}},
         100,
         "Next: Wyrm respawns in 4m 12s"},
        {"nothing coming", {{"w", "Wyrm", {stale(1, 30)}, std::nullopt, kNow}}, 100, ""},
        {"a long name shortened",
         {{"w", kLongName, {}, 252, kNow}},
         40,
         "Next: LLLLLLLLLLLLLL\u2026 respawns in 4m 12s"},
    };
    for (const auto& [name, feeds, room, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nextEventText(feeds, room), expected);
    }
}
