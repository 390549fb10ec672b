#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>
#include <tuple>

#include "net/LocalFixtures_win.h"
#include "net/NtpClock.h"

constexpr std::int64_t kUnix2026 = 1796601600;  // 2026-12-07 00:00:00 UTC, hours before the test machine's clock

// NTP servers opened by tests/fixtures/ntp_responder.py, one per behaviour in that order, each answering with the
// transmit time kUnix2026.
static std::vector<NtpServer> openServers(const std::string& behaviours) {
    std::istringstream ports(
        fixtureExchange("NTP", SOCK_DGRAM, "open " + std::to_string(kUnix2026 + 2208988800) + " " + behaviours));
    std::vector<NtpServer> servers;
    for (int port; ports >> port;) servers.push_back({"127.0.0.1", static_cast<std::uint16_t>(port)});
    return servers;
}

// The indices, in the order asked, of the servers opened together with `first` that received a request.
static std::string serversAsked(const NtpServer& first) {
    return fixtureExchange("NTP", SOCK_DGRAM, "log " + std::to_string(first.port));
}

// Short time-outs stand in for the real 5 s and 0.5 s, which only scale the waits.
constexpr NtpTiming kQuick{std::chrono::milliseconds(150), std::chrono::milliseconds(20)};

// Servers are asked in order. Datagrams that are not the server's answer to this request are passed over until the
// time-out: they can neither end the wait nor stand in for the answer. A real answer that refuses ends the wait.
TEST(NtpClock, TakesTheFirstGoodAnswerPastEveryBadOne) {
    // The servers' behaviours, those asked, and whether a time-out was waited out: a row that must not wait gets
    // a long time-out, so that a wait would show.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"otherport wrongorigin stratum0 zero late good good", "0 1 2 3 4 5", true},
        {"flood good", "0", false},  // 64 bogus datagrams a day off, some cut short, then the answer
        {"stratum0 good", "0 1", false},
    };
    for (const auto& [behaviours, asked, waitsOutATimeOut] : cases) {
        SCOPED_TRACE(behaviours);
        const std::vector<NtpServer> servers = openServers(behaviours);
        const std::chrono::milliseconds timeout = waitsOutATimeOut ? kQuick.timeout : std::chrono::seconds(1);
        NtpClock clock(servers, NtpClock::monotonicTicks, {timeout, kQuick.failedPause});
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(clock.sync());
        EXPECT_EQ(std::chrono::steady_clock::now() - start >= timeout, waitsOutATimeOut);
        EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
        EXPECT_EQ(serversAsked(servers.at(0)), asked);
    }
}

TEST(NtpClock, GivesUpAfterFourSilentServersAndRunsOneBackgroundSyncAtATime) {
    const std::vector<NtpServer> servers = openServers("silent silent silent silent");
    NtpClock clock(servers, NtpClock::monotonicTicks, kQuick);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(clock.sync());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 4 * (kQuick.timeout + kQuick.failedPause) - std::chrono::milliseconds(40));
    EXPECT_EQ(clock.lastSyncTime(), 0);
    EXPECT_FALSE(clock.isFresh());
    EXPECT_EQ(serversAsked(servers.at(0)), "0 1 2 3");

    // Ticks of the resync timer while a sync still waits start nothing; the next one after it does.
    for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(clock.syncAsync());
    std::this_thread::sleep_for(elapsed + std::chrono::milliseconds(300));
    EXPECT_EQ(serversAsked(servers.at(0)), "0 1 2 3 0 1 2 3");
    EXPECT_TRUE(clock.syncAsync());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(serversAsked(servers.at(0)), "0 1 2 3 0 1 2 3 0");
}

// A clock destroyed while its background sync waits on a silent server: the sync must finish into live state.
TEST(NtpClock, OutlivesADestroyedClock) {
    const std::vector<NtpServer> abandoned = openServers("silent good");
    // Once the clock is gone only a publishing sync reads the tick, so the count shows it wrote into live state.
    const auto ticksRead = std::make_shared<std::atomic<int>>(0);
    {
        NtpClock clock(
            abandoned,
            [ticksRead] {
                ++*ticksRead;
                return NtpClock::monotonicTicks();
            },
            kQuick);
        ASSERT_TRUE(clock.syncAsync());
    }
    EXPECT_EQ(*ticksRead, 0);
    std::this_thread::sleep_for(4 * (kQuick.timeout + kQuick.failedPause));
    EXPECT_EQ(*ticksRead, 1);
    EXPECT_EQ(serversAsked(abandoned.at(0)), "0 1");
}
