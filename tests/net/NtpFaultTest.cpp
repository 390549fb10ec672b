#include <gtest/gtest.h>

#include <chrono>

#include "net/NtpResponder.h"

// Datagrams that are not the server's answer to this request are passed over until the time-out: bogus ones
// cannot make the clock give up on, or take the place of, a real answer. A real answer that refuses ends the
// wait at once.
TEST(NtpFault, WaitsPastDatagramsThatAreNotTheAnswer) {
    struct Case {
        const char* name;
        const char* behaviours;
        const char* asked;
        double fewestSeconds, mostSeconds;
    };
    const Case cases[] = {
        {"64 bogus datagrams a day off, then the answer", "flood good", "0", 0.0, 2.0},
        {"an answer cut to 47 bytes, then silence", "truncated good", "0 1", 5.3, 7.5},
        {"a kiss-o'-death", "stratum0 good", "0 1", 0.4, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<NtpServer> servers = openServers(c.behaviours);
        NtpClock clock(servers);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(clock.sync());
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_TRUE(elapsed >= c.fewestSeconds && elapsed <= c.mostSeconds) << elapsed;
        EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
        EXPECT_EQ(serversAsked(servers.at(0)), c.asked);
    }
}
