#include <gtest/gtest.h>

#include <chrono>

#include "net/NtpResponder.h"

// Datagrams that are not the server's answer to this request are passed over until the time-out: bogus ones
// cannot make the clock give up on, or take the place of, a real answer. A real answer that refuses ends the
// wait at once.
TEST(NtpFault, WaitsPastDatagramsThatAreNotTheAnswer) {
    const NtpTiming timing{std::chrono::milliseconds(1000), std::chrono::milliseconds(20)};
    struct Case {
        const char* name;
        const char* behaviours;
        const char* asked;
        bool waitsOutTheTimeout;
    };
    const Case cases[] = {
        {"64 bogus datagrams a day off, then the answer", "flood good", "0", false},
        {"an answer cut to 47 bytes, then silence", "truncated good", "0 1", true},
        {"a kiss-o'-death", "stratum0 good", "0 1", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<NtpServer> servers = openServers(c.behaviours);
        NtpClock clock(servers, NtpClock::monotonicTicks, timing);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(clock.sync());
        EXPECT_EQ(std::chrono::steady_clock::now() - start >= timing.timeout, c.waitsOutTheTimeout);
        EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
        EXPECT_EQ(serversAsked(servers.at(0)), c.asked);
    }
}
