#include <gtest/gtest.h>

#include "model/BossMenu.h"

TEST(BossMenu, StatusAndTheBossToRestore) {
    constexpr int64_t kNow = 1'800'000'000;
    const ChannelStatus fresh{1, 40, "", kNow - 1, 0, 0, ""}, stale{1, 50, "", kNow - 100000, 0, 0, ""};
    // Bosses a (no entry), b (one stale channel), c (a fresh and a stale one), d (fresh).
    ModelData data;
    for (const char* id : {"a", "b", "c", "d"}) data.bossList.push_back({id, id, 0, 0, ""});
    data.channelMap["b"].channels = {stale};
    data.channelMap["c"].channels = {fresh, stale};
    data.channelMap["d"].channels = {fresh};
    const uint32_t red = kBossWithoutFreshColor, green = kBossWithFreshColor;
    const std::tuple<const char*, uint32_t, int32_t, int32_t> statuses[] = {
        {"a", red, 0, 0}, {"b", red, 0, 1}, {"c", green, 1, 2}, {"zz", red, 0, 0}};
    for (const auto& [id, color, freshCount, total] : statuses) {
        const BossMenuStatus s = bossMenuStatus(data, id, kNow);
        EXPECT_EQ(std::tie(s.color, s.freshCount, s.totalCount), std::tie(color, freshCount, total)) << id;
    }

    // The saved boss if still listed, fresh or not, else the first fresh one; ids match byte for byte.
    for (const auto& [lastBoss, expected] : {std::pair{"b", 1}, {"", 2}, {"gone", 2}, {"D", 2}, {"d", 3}})
        EXPECT_EQ(bossToRestore(data, lastBoss, kNow), expected) << lastBoss;
    ModelData noneFresh = data;
    for (const char* id : {"c", "d"}) noneFresh.channelMap.erase(id);
    EXPECT_EQ(bossToRestore(noneFresh, "", kNow), -1);
    EXPECT_EQ(bossToRestore(ModelData{}, "a", kNow), -1);
}
