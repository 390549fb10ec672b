#include <gtest/gtest.h>

#include "model/ChosenBossFeed.h"

TEST(ChosenBossFeed, TakesWhatTheListAndTheReportsHold) {
    constexpr int64_t kNow = 1'740'830'400;  // 2025-03-01 12:00:00 UTC
    ModelData data;
    data.bossList = {{"w", "Ashen Warden", 0, 30, ""}, {"m", "Moss Wisp", 0, 30, "magical_creature"}};
    data.channelMap["w"].channels = {ChannelStatus{3, 50, "", kNow, 0.5, 90.0, ""}, ChannelStatus{}};
    data.channelMap["x"].channels = {ChannelStatus{}};
    // Id, name, channels, respawn countdown, time: no boss chosen gives an empty feed.
    const std::tuple<std::string, std::string, size_t, std::optional<int64_t>, int64_t> cases[] = {
        {"", "", 0, std::nullopt, 0},
        {"w", "Ashen Warden", 2, 1800, kNow},
        {"m", "Moss Wisp", 0, std::nullopt, kNow},
        {"x", "", 1, std::nullopt, kNow},
    };
    for (const auto& row : cases) {
        const AlertFeed feed = bossFeed(data, std::get<0>(row), kNow);
        EXPECT_EQ(std::tuple(feed.bossId, feed.bossName, feed.channels.size(), feed.respawnSeconds, feed.now), row);
    }
}
