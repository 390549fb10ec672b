#include <gtest/gtest.h>

#include "model/ChosenBossFeed.h"

TEST(ChosenBossFeed, TakesWhatTheListAndTheReportsHold) {
    constexpr int64_t kNow = 1'740'830'400;  // 2025-03-01 12:00:00 UTC
    ModelData data;
    data.bossList = {{"w", "Ashen Warden", 0, 30, ""}, {"m", "Moss Wisp", 0, 30, "magical_creature"}};
    data.channelMap["w"].channels = {ChannelStatus{3, 50, "", kNow, 0.5, 90.0, ""}, ChannelStatus{}};
    data.channelMap["x"].channels = {ChannelStatus{}};
    struct Case {
        const char* id;
        const char* name;
        size_t channels;
        std::optional<int64_t> respawnSeconds;
        int64_t now;
    };
    const Case cases[] = {
        {"", "", 0, std::nullopt, 0},
        {"w", "Ashen Warden", 2, 1800, kNow},
        {"m", "Moss Wisp", 0, std::nullopt, kNow},
        {"x", "", 1, std::nullopt, kNow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const AlertFeed feed = chosenBossFeed(data, c.id, kNow);
        EXPECT_EQ(feed.bossId, c.id);
        EXPECT_EQ(feed.bossName, c.name);
        EXPECT_EQ(feed.channels.size(), c.channels);
        EXPECT_EQ(feed.respawnSeconds, c.respawnSeconds);
        EXPECT_EQ(feed.now, c.now);
    }
}
