#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "TestChannels.h"
#include "model/ChannelRules.h"

namespace {

constexpr int64_t kNow = 1'740'830'400;  // 2025-03-01 12:00:00 UTC

}  // namespace

TEST(ChannelRules, FreshnessDependsOnHpAndAge) {
    struct Case {
        const char* name;
        int32_t hp;
        int64_t updated;
        ChannelState expected;
    };
    const Case cases[] = {
        {"full HP at the 300 s limit", 100, kNow - 300, ChannelState::Fresh},
        {"full HP one second older", 100, kNow - 301, ChannelState::Stale},
        {"85 at the 180 s limit", 85, kNow - 180, ChannelState::Fresh},
        {"85 one second older", 85, kNow - 181, ChannelState::Stale},
        {"80 is in the 180 s band", 80, kNow - 180, ChannelState::Fresh},
        {"79 at the 120 s limit", 79, kNow - 120, ChannelState::Fresh},
        {"79 one second older", 79, kNow - 121, ChannelState::Stale},
        {"above 100 uses 180 s", 120, kNow - 180, ChannelState::Fresh},
        {"above 100 past 180 s", 120, kNow - 181, ChannelState::Stale},
        {"a report from the future", 50, kNow + 3600, ChannelState::Fresh},
        {"missing timestamp", 50, 0, ChannelState::Stale},
        {"negative HP is not dead", -3, kNow, ChannelState::Fresh},
        {"zero HP is dead even when recent", 0, kNow, ChannelState::Dead},
        {"zero HP is dead without timestamp", 0, 0, ChannelState::Dead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ChannelStatus status = makeChannel(1, c.hp, c.updated);
        EXPECT_EQ(classifyChannel(status, kNow), c.expected);
        EXPECT_EQ(isChannelFresh(status, kNow), c.expected == ChannelState::Fresh);
    }
}

TEST(ChannelRules, CountsFreshAndDropsDeadInOrder) {
    BossEntry entry;
    entry.channels = {makeChannel(4, 50, 0), makeChannel(2, 0, kNow), makeChannel(9, 60, kNow),
                      makeChannel(1, 100, kNow - 10), makeChannel(3, 0, 0)};
    EXPECT_EQ(countFreshChannels(entry, kNow), 2);
    std::vector<int32_t> live;
    for (const ChannelStatus& c : liveChannels(entry)) live.push_back(c.channelNumber);
    EXPECT_EQ(live, (std::vector<int32_t>{4, 9, 1}));
    EXPECT_EQ(countFreshChannels(BossEntry{}, kNow), 0);
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
        {"more recent first", makeChannel(1, 10, 1000), makeChannel(2, 90, 2000), false},
        {"missing time skips recency", makeChannel(1, 10, 0), makeChannel(2, 90, 2000), true},
        {"equal time: lower HP first", makeChannel(2, 30, kNow), makeChannel(1, 40, kNow), true},
        {"equal estimate falls through to recency", makeChannel(1, 50, kNow - 5, 60), makeChannel(2, 50, kNow, 60),
         false},
        {"equal HP: lower channel first", makeChannel(1, 40, kNow), makeChannel(2, 40, kNow), true},
        {"signed channel comparison", makeChannel(-1, 40, kNow), makeChannel(1, 40, kNow), true},
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

TEST(ChannelRules, RowsListLiveChannelsInDisplayOrderWithStaleGreyed) {
    struct Case {
        const char* name;
        std::vector<ChannelStatus> channels;
        std::vector<int32_t> expectedOrder;
        std::vector<bool> expectedGrey;
    };
    const std::vector<Case> cases = {
        {"estimates, none, stale, dead",
         {makeChannel(4, 40, 0, 10), makeChannel(7, 0, kNow), makeChannel(3, 60, kNow, 90),
          makeChannel(5, 55, kNow - 5, -1), makeChannel(8, 70, kNow - 2, 30)},
         {8, 3, 5, 4},
         {false, false, false, true}},
        {"no estimates: recent, then HP, then channel",
         {makeChannel(1, 50, kNow - 20), makeChannel(2, 40, kNow - 10), makeChannel(3, 30, kNow - 10),
          makeChannel(4, 30, kNow - 10)},
         {3, 4, 2, 1},
         {false, false, false, false}},
        {"all dead gives no rows", {makeChannel(1, 0, kNow), makeChannel(2, 0, 0)}, {}, {}},
        {"no channels", {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BossEntry entry;
        entry.channels = c.channels;
        const std::vector<ChannelRow> rows = buildChannelRows(entry, kNow);
        ASSERT_EQ(channelNumbers(rows), c.expectedOrder);
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(rows[i].channelNumber);
            const auto source = std::find_if(c.channels.begin(), c.channels.end(), [&](const ChannelStatus& s) {
                return s.channelNumber == rows[i].channelNumber;
            });
            EXPECT_EQ(rows[i].hpPercent, source->lastHp);
            EXPECT_EQ(rows[i].dps, source->dps);
            EXPECT_EQ(rows[i].etd, source->etd);
            EXPECT_EQ(rows[i].barColor, c.expectedGrey[i] ? 0x808080u : 0u);
            EXPECT_EQ(rows[i].textColor, c.expectedGrey[i] ? 0xC8C8C8u : 0u);
        }
    }
}

// Recency applies only when both reports carry a time, so stale reports with and without one can
// compare in a cycle; the sort must still return every live channel exactly once.
TEST(ChannelRules, RowsKeepEveryChannelWhenStaleReportsCompareInACycle) {
    std::mt19937 random(7);
    BossEntry entry;
    for (int32_t n = 1; n <= 500; ++n) {
        const int64_t updated = random() % 3 == 0 ? 0 : kNow - 1000 - static_cast<int64_t>(random() % 50);
        entry.channels.push_back(makeChannel(n, 1 + static_cast<int32_t>(random() % 100), updated));
    }
    entry.channels.push_back(makeChannel(501, 10, 0));
    entry.channels.push_back(makeChannel(502, 50, kNow - 2000));
    entry.channels.push_back(makeChannel(503, 5, kNow - 3000));

    std::vector<int32_t> numbers = channelNumbers(buildChannelRows(entry, kNow));
    std::sort(numbers.begin(), numbers.end());
    std::vector<int32_t> expected(503);
    for (int32_t n = 0; n < 503; ++n) expected[n] = n + 1;
    EXPECT_EQ(numbers, expected);
}
