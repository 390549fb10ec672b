#include <gtest/gtest.h>

#include <tuple>

#include "model/BossMenu.h"

constexpr int64_t kNow = 1'800'000'000;

static ChannelStatus channel(int32_t hp, int64_t age) {
    ChannelStatus c;
    c.lastHp = hp;
    c.lastUpdateTime = kNow - age;
    return c;
}

// Bosses a (no entry), b (one stale channel), c (a fresh and a stale one), d (fresh).
static ModelData world() {
    ModelData data;
    for (const char* id : {"a", "b", "c", "d"}) data.bossList.push_back({id, id, 0, 0, ""});
    data.channelMap["b"].channels = {channel(50, 100000)};
    data.channelMap["c"].channels = {channel(50, 1), channel(50, 100000)};
    data.channelMap["d"].channels = {channel(40, 1)};
    return data;
}

TEST(BossMenu, StatusAndTheBossToRestore) {
    const ModelData data = world();
    struct Status {
        const char* id;
        uint32_t color;
        int32_t fresh, total;
    };
    for (const Status& s : {Status{"a", kBossWithoutFreshColor, 0, 0}, Status{"b", kBossWithoutFreshColor, 0, 1},
                            Status{"c", kBossWithFreshColor, 1, 2}, Status{"zz", kBossWithoutFreshColor, 0, 0}}) {
        const BossMenuStatus status = bossMenuStatus(data, s.id, kNow);
        EXPECT_EQ(std::make_tuple(status.color, status.freshCount, status.totalCount),
                  std::make_tuple(s.color, s.fresh, s.total))
            << s.id;
    }

    struct Case {
        const char* lastBoss;
        int expected;
    };
    // The saved boss wins even without fresh channels; a saved id no longer listed falls back to the first
    // fresh boss; ids match byte for byte.
    for (const Case& c : {Case{"b", 1}, Case{"", 2}, Case{"gone", 2}, Case{"D", 2}, Case{"d", 3}}) {
        EXPECT_EQ(bossToRestore(data, c.lastBoss, kNow), c.expected) << c.lastBoss;
    }
    ModelData stale = data;
    stale.channelMap.erase("c");
    stale.channelMap.erase("d");
    EXPECT_EQ(bossToRestore(stale, "", kNow), -1);
    EXPECT_EQ(bossToRestore(ModelData{}, "a", kNow), -1);
}
