#include <gtest/gtest.h>

#include "net/ApiClient.h"
#include "support/Fixtures.h"

// The client's three reads and the status probe against the bundled demo tracker, as the overlay
// makes them when it is pointed there.
TEST(ApiClientDemoTracker, ReadsEverythingTheOverlayShows) {
    ASSERT_NE(fixturePort("TRACKER"), 0);
    ApiClient client(fixtureOrigin("TRACKER"));

    std::vector<BossInfo> bosses;
    ASSERT_TRUE(client.fetchBossList(bosses)) << client.statusText();
    ASSERT_GE(bosses.size(), 10u);
    int magical = 0;
    for (const BossInfo& boss : bosses) {
        EXPECT_FALSE(boss.id.empty());
        EXPECT_FALSE(boss.name.empty());
        if (boss.type == "magical_creature") ++magical;
    }
    EXPECT_EQ(magical, 1);

    std::vector<ChannelStatus> channels;
    ASSERT_TRUE(client.fetchChannelStatus(bosses.front().id, channels)) << client.statusText();
    ASSERT_GE(channels.size(), 20u);
    for (size_t i = 1; i < channels.size(); ++i) EXPECT_LT(channels[i - 1].channelNumber, channels[i].channelNumber);
    for (const ChannelStatus& c : channels) {
        EXPECT_GE(c.lastHp, 0);
        EXPECT_LE(c.lastHp, 100);
    }

    AllStatusMap all;
    ASSERT_TRUE(client.fetchAllStatus(all)) << client.statusText();
    EXPECT_GT(all.size(), bosses.size() - 1);
    ASSERT_EQ(all.count(bosses.front().id), 1u);
    int timed = 0;
    for (const ChannelStatus& c : all[bosses.front().id]) timed += c.lastUpdateTime > 1700000000 ? 1 : 0;
    EXPECT_GT(timed, 0);

    const double age = client.fetchServerCacheAge();
    EXPECT_GE(age, 0.0) << client.statusText();
    EXPECT_LE(age, 86400.0);

    const TrafficSnapshot traffic = client.trafficSnapshot();
    EXPECT_GT(traffic.bytesReceivedTotal, 0u);
    EXPECT_EQ(traffic.lastBytesSent, fixtureOrigin("TRACKER").size() + std::string("/api/all_status").size() + 100);
}
