#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "net/NtpClock.h"
#include "support/Fixtures.h"

namespace {

// Short time-outs stand in for the real 5 s and 0.5 s, which only scale the waits.
constexpr NtpTiming kQuick{std::chrono::milliseconds(150), std::chrono::milliseconds(20)};

constexpr std::int64_t kUnix2026 = 1796601600;  // 2026-12-07 00:00:00 UTC, hours before the test machine's clock

// One exchange with tools/ntp_responder.py, which opens local NTP servers that answer as told and logs requests.
std::string askResponder(const std::string& line) {
    static WSADATA data;
    [[maybe_unused]] static const int winsock = WSAStartup(MAKEWORD(2, 2), &data);
    struct Udp {
        SOCKET handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        ~Udp() { closesocket(handle); }
    } udp;
    const DWORD timeout = 2000;  // a dead responder fails the test instead of hanging it
    setsockopt(udp.handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    const sockaddr_in control{AF_INET, htons(static_cast<u_short>(fixturePort("NTP"))), {{{127, 0, 0, 1}}}, {}};
    sendto(udp.handle, line.data(), static_cast<int>(line.size()), 0, reinterpret_cast<const sockaddr*>(&control),
           sizeof control);
    char reply[4096];
    const int size = recv(udp.handle, reply, sizeof reply, 0);
    return std::string(reply, size > 0 ? static_cast<std::size_t>(size) : 0);
}

// One server per behaviour, in that order, each answering with the transmit time kUnix2026.
std::vector<NtpServer> openServers(const std::string& behaviours) {
    std::istringstream ports(askResponder("open " + std::to_string(kUnix2026 + 2208988800) + " " + behaviours));
    std::vector<NtpServer> servers;
    for (int port; ports >> port;) servers.push_back({"127.0.0.1", static_cast<std::uint16_t>(port)});
    return servers;
}

}  // namespace

TEST(NtpClock, SkipsEachBadAnswerInServerOrderAndTakesTheFirstGoodOne) {
    const std::vector<NtpServer> servers = openServers("otherport wrongorigin stratum0 zero late good good");
    NtpClock clock(servers, NtpClock::monotonicTicks, kQuick);
    EXPECT_TRUE(clock.sync());
    EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3 4 5");
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
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3");

    // Ticks of the resync timer while a sync still waits start nothing; the next one after it does.
    for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(clock.syncAsync());
    std::this_thread::sleep_for(elapsed + std::chrono::milliseconds(300));
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3 0 1 2 3");
    EXPECT_TRUE(clock.syncAsync());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3 0 1 2 3 0");
}

// A clock destroyed while its background sync waits on a silent server: the sync must finish into state
// that is still alive.
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
    EXPECT_EQ(askResponder("log " + std::to_string(abandoned.at(0).port)), "0 1");
}
