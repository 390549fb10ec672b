#include <gtest/gtest.h>

#include <algorithm>

#include "net/ApiClient.h"
#include "support/Fixtures.h"

// The three reads and the status probe against the bundled demo tracker, as the overlay makes them.
TEST(ApiClientDemoTracker, ReadsEverythingTheOverlayShows) {
    ASSERT_NE(fixturePort("TRACKER"), 0);
    ApiClient client(fixtureOrigin("TRACKER"));
    std::vector<BossInfo> bosses;
    ASSERT_TRUE(client.fetchBossList(bosses)) << client.statusText();
    ASSERT_GE(bosses.size(), 10u);
    EXPECT_EQ(
        std::count_if(bosses.begin(), bosses.end(), [](const BossInfo& b) { return b.type == "magical_creature"; }), 1);

    std::vector<ChannelStatus> channels;
    ASSERT_TRUE(client.fetchChannelStatus(bosses.front().id, channels)) << client.statusText();
    ASSERT_GE(channels.size(), 20u);
    for (size_t i = 1; i < channels.size(); ++i) EXPECT_LT(channels[i - 1].channelNumber, channels[i].channelNumber);

    AllStatusMap all;
    ASSERT_TRUE(client.fetchAllStatus(all)) << client.statusText();
    EXPECT_GE(all.size(), bosses.size() - 1);
    const auto& first = all[bosses.front().id];
    EXPECT_TRUE(
        std::any_of(first.begin(), first.end(), [](const ChannelStatus& c) { return c.lastUpdateTime > 1700000000; }));

    const double age = client.fetchServerCacheAge();
    EXPECT_TRUE(age >= 0.0 && age <= 86400.0) << client.statusText();
    EXPECT_EQ(client.trafficSnapshot().lastBytesSent,
              fixtureOrigin("TRACKER").size() + std::string("/api/all_status").size() + 100);
}
