#include <gtest/gtest.h>

#include <algorithm>

#include "net/ApiClient.h"
#include "support/Fixtures.h"

// The three reads and the status probe against the bundled demo tracker, as the overlay makes them.
TEST(ApiClientDemoTracker, ReadsEverythingTheOverlayShows) {
    ApiClient client(fixtureOrigin("TRACKER"));
    std::vector<BossInfo> bosses;
    ASSERT_TRUE(client.fetchBossList(bosses)) << client.statusText();
    ASSERT_GE(bosses.size(), 10u);
    std::vector<ChannelStatus> channels;
    ASSERT_TRUE(client.fetchChannelStatus(bosses.front().id, channels)) << client.statusText();
    EXPECT_GE(channels.size(), 20u);
    AllStatusMap all;
    ASSERT_TRUE(client.fetchAllStatus(all)) << client.statusText();
    EXPECT_GT(all.size(), bosses.size() - 1);
    const std::vector<ChannelStatus>& first = all[bosses.front().id];
    EXPECT_TRUE(
        std::any_of(first.begin(), first.end(), [](const ChannelStatus& c) { return c.lastUpdateTime > 1700000000; }));
    const double age = client.fetchServerCacheAge();
    EXPECT_TRUE(age >= 0.0 && age <= 86400.0) << client.statusText();
}
