#include <gtest/gtest.h>

#include <algorithm>
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
    struct Case {
        const char* name;
        int32_t hp;
        int64_t updated;
        ChannelState expected;
        ChannelState oneSecondOlder;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [updated, expected] : {std::pair{c.updated, c.expected}, {c.updated - 1, c.oneSecondOlder}}) {
            const ChannelStatus status = makeChannel(1, c.hp, updated);
            EXPECT_EQ(classifyChannel(status, kNow), expected) << updated;
            EXPECT_EQ(isChannelFresh(status, kNow), expected == kFresh) << updated;
        }
    }
}

TEST(ChannelRules, OrderIsDecidedByTheFirstSeparatingRule) {
    struct Case {
        const char* name;
        ChannelStatus a;
        ChannelStatus b;
        bool aFirst;
    };
    const Case cases[] = {
        {"fresh before stale despite a later death", makeChannel(1, 50, kNow, 500), makeChannel(2, 50, 0, 10), true},
        {"dead counts as not stale", makeChannel(5, 0, 0), makeChannel(1, 50, kNow - 1000, 10), true},
        {"estimate before none", makeChannel(9, 90, kNow - 50, 90), makeChannel(1, 10, kNow, -1), true},
        {"zero estimate is none", makeChannel(1, 10, kNow, 0), makeChannel(9, 90, kNow - 50, 5), false},
        {"NaN estimate is none", makeChannel(1, 10, kNow, std::nan("")), makeChannel(9, 90, kNow - 50, 5), false},
        {"sooner death first", makeChannel(2, 50, kNow, 30), makeChannel(1, 50, kNow, 90), true},
        {"equal estimate falls to recency", makeChannel(1, 50, kNow - 5, 60), makeChannel(2, 50, kNow, 60), false},
        {"more recent first", makeChannel(1, 10, 1000), makeChannel(2, 90, 2000), false},
        {"missing time skips recency", makeChannel(1, 10, 0), makeChannel(2, 90, 2000), true},
        {"equal time: lower HP first", makeChannel(2, 30, kNow), makeChannel(1, 40, kNow), true},
        {"equal HP: lower channel first", makeChannel(1, 40, kNow), makeChannel(2, 40, kNow), true},
        {"identical channels are equivalent", makeChannel(3, 40, kNow), makeChannel(3, 40, kNow), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(channelOrderBefore(c.a, c.b, kNow), c.aFirst);
        if (c.aFirst) {
            EXPECT_FALSE(channelOrderBefore(c.b, c.a, kNow));
        }
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
    EXPECT_EQ(rows[0].hpPercent, 70);
    EXPECT_EQ(rows[0].dps, 0.5);
    EXPECT_EQ(rows[0].etd, 30);
    for (const ChannelRow& row : rows) {
        const bool stale = row.channelNumber == 4;
        EXPECT_EQ(row.barColor, stale ? 0x808080u : 0u) << row.channelNumber;
        EXPECT_EQ(row.textColor, stale ? 0xC8C8C8u : 0u) << row.channelNumber;
    }
}
