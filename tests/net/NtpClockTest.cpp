#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>

#include "net/NtpResponder.h"

TEST(NtpClock, SkipsEachBadAnswerInServerOrderAndTakesTheFirstGoodOne) {
    const std::vector<NtpServer> servers = openServers("otherport wrongorigin stratum0 zero late good good");
    NtpClock clock(servers);
    EXPECT_TRUE(clock.sync());
    EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
    EXPECT_EQ(serversAsked(servers.at(0)), "0 1 2 3 4 5");
}

// The one run with the real time-outs: four times 5 s waiting plus a 0.5 s pause. Meanwhile a clock destroyed
// while its detached sync waits on a silent server must see that sync finish into state that is still alive.
TEST(NtpClock, GivesUpAfterFourSilentServersAndOutlivesADestroyedClock) {
    const std::vector<NtpServer> abandoned = openServers("silent good");
    // Once the clock is gone only a publishing sync reads the tick, so the count shows it wrote into live state.
    const auto ticksRead = std::make_shared<std::atomic<int>>(0);
    {
        NtpClock clock(abandoned, [ticksRead] {
            ++*ticksRead;
            return NtpClock::monotonicTicks();
        });
        ASSERT_TRUE(clock.syncAsync());
    }
    EXPECT_EQ(*ticksRead, 0);

    const std::vector<NtpServer> servers = openServers("silent silent silent silent");
    NtpClock clock(servers);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(clock.sync());
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "four silent servers: sync gave up after " << elapsed << " s\n";
    EXPECT_TRUE(elapsed >= 21.8 && elapsed <= 25.0) << elapsed;
    EXPECT_EQ(clock.lastSyncTime(), 0);
    EXPECT_EQ(serversAsked(servers.at(0)), "0 1 2 3");
    EXPECT_EQ(*ticksRead, 1);
}
