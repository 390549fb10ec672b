#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/ChannelRules.h"

// A channel report as a test needs it: a rate comes with every estimate, as from the tracker.
static ChannelStatus makeChannel(int32_t number, int32_t hp = 50, int64_t updated = 0, double etd = -1.0) {
    return ChannelStatus{number, hp, "", updated, etd > 0 ? 0.5 : 0.0, etd, ""};
}

static const auto channelNumbers = [](const auto& items) {
    std::vector<int32_t> numbers;
    for (const auto& item : items) numbers.push_back(item.channelNumber);
    return numbers;
};

constexpr int64_t kNow = 1'740'830'400;  // 2025-03-01 12:00:00 UTC
constexpr ChannelState kFresh = ChannelState::Fresh, kStale = ChannelState::Stale, kDead = ChannelState::Dead;

TEST(ChannelRules, FreshnessDependsOnHpAndAge) {
    // Name, HP, update time, its state and the state one second older.
    const std::tuple<const char*, int32_t, int64_t, ChannelState, ChannelState> cases[] = {
        {"full HP: 300 s", 100, kNow - 300, kFresh, kStale},
        {"80 is in the 180 s band", 80, kNow - 180, kFresh, kStale},
        {"79: 120 s", 79, kNow - 120, kFresh, kStale},
        {"above 100: 180 s", 120, kNow - 180, kFresh, kStale},
        {"a report from the future", 50, kNow + 3600, kFresh, kFresh},
        {"missing timestamp", 50, 0, kStale, kStale},
        {"negative HP is not dead", -3, kNow, kFresh, kFresh},
        {"zero HP is dead even when recent", 0, kNow, kDead, kDead},
        {"zero HP is dead without timestamp", 0, 0, kDead, kDead},
    };
    for (const auto& [name, hp, updated, state, olderState] : cases) {
        SCOPED_TRACE(name);
        for (const auto& [time, expected] : {std::pair{updated, state}, {updated - 1, olderState}}) {
            const ChannelStatus status = makeChannel(1, hp, time);
            EXPECT_EQ(classifyChannel(status, kNow), expected) << time;
            EXPECT_EQ(isChannelFresh(status, kNow), expected == kFresh) << time;
        }
    }
}

TEST(ChannelRules, OrderIsDecidedByTheFirstSeparatingRule) {
    const std::tuple<const char*, ChannelStatus, ChannelStatus, bool> cases[] = {
        {"fresh before stale despite a later death", makeChannel(1, 50, kNow, 500), makeChannel(2, 50, 0, 10), true},
        {"dead counts as not stale", makeChannel(5, 0, 0), makeChannel(1, 50, kNow - 1000, 10), true},
        {"estimate before none", makeChannel(9, 90, kNow - 50, 90), makeChannel(1, 10, kNow, -1), true},
        {"zero estimate is none", makeChannel(1, 10, kNow, 0), makeChannel(9, 90, kNow - 50, 5), false},
        {"NaN estimate is none", makeChannel(1, 10, kNow, std::nan("")), makeChannel(9, 90, kNow - 50, 5), false},
        {"sooner death first", makeChannel(2, 50, kNow, 30), makeChannel(1, 50, kNow, 90), true},
        {"equal estimate falls to recency", makeChannel(2, 50, kNow, 60), makeChannel(1, 50, kNow - 5, 60), true},
        {"more recent first", makeChannel(1, 10, 1000), makeChannel(2, 90, 2000), false},
        {"missing time skips recency", makeChannel(1, 10, 0), makeChannel(2, 90, 2000), true},
        {"equal time: lower HP first", makeChannel(2, 30, kNow), makeChannel(1, 40, kNow), true},
        {"equal HP: lower channel first", makeChannel(1, 40, kNow), makeChannel(2, 40, kNow), true},
        {"identical channels are equivalent", makeChannel(3, 40, kNow), makeChannel(3, 40, kNow), false},
    };
    for (const auto& [name, a, b, aFirst] : cases) {
        EXPECT_EQ(channelOrderBefore(a, b, kNow), aFirst) << name;
        EXPECT_FALSE(aFirst && channelOrderBefore(b, a, kNow)) << name;
    }
}

TEST(ChannelRules, CountsFreshAndListsLiveChannelsInDisplayOrderWithStaleGreyed) {
    BossEntry entry;
    entry.channels = {makeChannel(4, 40, 0, 10),        makeChannel(7, 0, kNow),       makeChannel(3, 60, kNow, 90),
                      makeChannel(8, 70, kNow - 2, 30), makeChannel(5, 55, kNow - 5),  makeChannel(1, 50, kNow - 20),
                      makeChannel(2, 40, kNow - 10),    makeChannel(6, 30, kNow - 10), makeChannel(9, 30, kNow - 10)};
    EXPECT_EQ(countFreshChannels(entry, kNow), 7);
    EXPECT_EQ(channelNumbers(liveChannels(entry)), (std::vector<int32_t>{4, 3, 8, 5, 1, 2, 6, 9}));
    const std::vector<ChannelRow> rows = buildChannelRows(entry, kNow);
    ASSERT_EQ(channelNumbers(rows), (std::vector<int32_t>{8, 3, 5, 6, 9, 2, 1, 4}));
    EXPECT_EQ(std::tie(rows[0].hpPercent, rows[0].dps, rows[0].etd), std::tuple(70, 0.5, 30.0));
    for (const ChannelRow& row : rows) {
        const auto colors = row.channelNumber == 4 ? std::pair(0x808080u, 0xC8C8C8u) : std::pair(0u, 0u);  // 4 is stale
        EXPECT_EQ(std::pair(row.barColor, row.textColor), colors) << row.channelNumber;
    }
}
