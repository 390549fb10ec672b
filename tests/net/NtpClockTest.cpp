#include <gtest/gtest.h>
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <sstream>

#include "net/NtpClock.h"
#include "support/Fixtures.h"

namespace {

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
    NtpClock clock(servers);
    EXPECT_TRUE(clock.sync());
    EXPECT_EQ(clock.lastSyncTime(), kUnix2026);
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3 4 5");
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
    EXPECT_EQ(askResponder("log " + std::to_string(servers.at(0).port)), "0 1 2 3");
    EXPECT_EQ(*ticksRead, 1);
}
