#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/NtpClock.h"
#include "support/Fixtures.h"

namespace {

constexpr std::uint32_t kNtpSecondsAt1970 = 2208988800u;
constexpr std::uint32_t kSeconds2026 = 4005590400u;  // 2026-12-07 00:00:00 UTC
constexpr std::uint32_t kSeconds2037 = 28402304u;    // 2037-01-01, after the NTP era rolled over

// The control port of tools/ntp_responder.py: opens local servers that answer in a chosen way.
class Responder {
public:
    Responder() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        const DWORD timeout = 2000;
        setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        control.sin_family = AF_INET;
        control.sin_port = htons(static_cast<u_short>(fixturePort("NTP")));
        control.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Responder() {
        closesocket(handle);
        WSACleanup();
    }
    Responder(const Responder&) = delete;
    Responder& operator=(const Responder&) = delete;

    NtpServer open(const char* behaviour, std::uint32_t seconds) {
        const int port = std::stoi(ask(std::string("open ") + behaviour + " " + std::to_string(seconds)));
        return {"127.0.0.1", static_cast<std::uint16_t>(port)};
    }

    void set(const NtpServer& server, const char* behaviour, std::uint32_t seconds) {
        EXPECT_EQ(ask("set " + std::to_string(server.port) + " " + behaviour + " " + std::to_string(seconds)), "ok");
    }

    // The ports of these servers in the order requests reached them.
    std::vector<std::uint16_t> requestsTo(const std::vector<NtpServer>& servers) {
        std::istringstream log(ask("log"));
        std::vector<std::uint16_t> ports;
        for (int port; log >> port;) {
            for (const NtpServer& server : servers) {
                if (server.port == port) ports.push_back(server.port);
            }
        }
        return ports;
    }

private:
    std::string ask(const std::string& line) {
        sendto(handle, line.data(), static_cast<int>(line.size()), 0, reinterpret_cast<const sockaddr*>(&control),
               sizeof control);
        char reply[4096];
        const int size = recv(handle, reply, sizeof reply, 0);
        return size > 0 ? std::string(reply, static_cast<std::size_t>(size)) : std::string();
    }

    SOCKET handle;
    sockaddr_in control{};
};

std::vector<std::uint16_t> portsOf(const std::vector<NtpServer>& servers, std::size_t count) {
    std::vector<std::uint16_t> ports;
    for (std::size_t i = 0; i < count; ++i) ports.push_back(servers[i].port);
    return ports;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(NtpClock, SkipsEachBadAnswerAndTakesTheFirstGoodOne) {
    ASSERT_NE(fixturePort("NTP"), 0);
    struct Answer {
        const char* behaviour;
        std::uint32_t seconds;
    };
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        std::uint32_t goodSeconds;
        std::size_t serversAsked;
    };
    // A plausible time, so that taking a bad answer shows as a wrong clock.
    const std::uint32_t bad = 4100000000u;
    const Case cases[] = {
        {"another port, wrong originate, stratum 0",
         {{"otherport", bad}, {"wrongorigin", bad}, {"stratum0", bad}, {"good", kSeconds2026}},
         kSeconds2026,
         4},
        {"zero seconds, leap 3, client mode",
         {{"good", 0}, {"li3", bad}, {"clientmode", bad}, {"good", kSeconds2026 + 1000}},
         kSeconds2026 + 1000,
         4},
        {"short, late, after the era rollover",
         {{"short", bad}, {"late", bad}, {"good", kSeconds2037}, {"good", kSeconds2026 + 2000}},
         kSeconds2026 + 2000,
         4},
        {"the first good answer ends the sync", {{"good", kSeconds2026 + 3000}, {"good", bad}}, kSeconds2026 + 3000, 1},
    };

    Responder responder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<NtpServer> servers;
        for (const Answer& a : c.answers) servers.push_back(responder.open(a.behaviour, a.seconds));
        NtpClock clock(servers);
        EXPECT_EQ(clock.lastSyncTime(), 0);

        EXPECT_TRUE(clock.sync());
        const std::int64_t expected = c.goodSeconds - kNtpSecondsAt1970;
        EXPECT_EQ(clock.lastSyncTime(), expected);
        EXPECT_GE(clock.now(), expected);
        EXPECT_LE(clock.now(), expected + 1);
        EXPECT_TRUE(clock.isFresh());
        EXPECT_EQ(responder.requestsTo(servers), portsOf(servers, c.serversAsked));
    }
}

TEST(NtpClock, AFailedSyncKeepsTheLastGoodOne) {
    ASSERT_NE(fixturePort("NTP"), 0);
    Responder responder;
    const NtpServer server = responder.open("good", kSeconds2026);
    NtpClock clock({server});
    ASSERT_TRUE(clock.sync());

    responder.set(server, "stratum0", kSeconds2026 + 5000);
    EXPECT_FALSE(clock.sync());
    EXPECT_EQ(clock.lastSyncTime(), kSeconds2026 - kNtpSecondsAt1970);
    EXPECT_TRUE(clock.isFresh());
    EXPECT_LE(clock.now(), kSeconds2026 - kNtpSecondsAt1970 + 2);
    EXPECT_EQ(responder.requestsTo({server}), portsOf({server, server}, 2));
}

// The one run with the real time-outs: four times 5 s waiting plus 0.5 s pause.
TEST(NtpClock, GivesUpAfterFourSilentServers) {
    ASSERT_NE(fixturePort("NTP"), 0);
    Responder responder;
    std::vector<NtpServer> servers;
    for (int i = 0; i < 4; ++i) servers.push_back(responder.open("silent", kSeconds2026));
    NtpClock clock(servers);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(clock.sync());
    const double elapsed = secondsSince(start);
    std::cout << "four silent servers: sync gave up after " << elapsed << " s\n";
    EXPECT_GE(elapsed, 21.8);
    EXPECT_LE(elapsed, 25.0);

    EXPECT_EQ(clock.lastSyncTime(), 0);
    EXPECT_FALSE(clock.isFresh());
    EXPECT_EQ(responder.requestsTo(servers), portsOf(servers, 4));
}

TEST(NtpClock, ASyncOutlivesTheClockThatStartedIt) {
    ASSERT_NE(fixturePort("NTP"), 0);
    Responder responder;
    const std::vector<NtpServer> servers = {responder.open("silent", kSeconds2026),
                                            responder.open("good", kSeconds2026)};
    // Only a publishing sync reads the tick once the clock is gone, so the count shows it wrote into live state.
    const auto ticksRead = std::make_shared<std::atomic<int>>(0);
    {
        NtpClock clock(servers, [ticksRead] {
            ++*ticksRead;
            return NtpClock::monotonicTicks();
        });
        ASSERT_TRUE(clock.syncAsync());
    }
    EXPECT_EQ(*ticksRead, 0);

    const auto start = std::chrono::steady_clock::now();
    while (*ticksRead == 0 && secondsSince(start) < 15) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(*ticksRead, 1);
    EXPECT_EQ(responder.requestsTo(servers), portsOf(servers, 2));
}
