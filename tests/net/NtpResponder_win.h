#pragma once

#include <winsock2.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "net/NtpClock.h"
#include "support/Fixtures.h"

constexpr std::int64_t kUnix2026 = 1796601600;  // 2026-12-07 00:00:00 UTC, hours before the test machine's clock

// One exchange with tools/ntp_responder.py, which opens local NTP servers that answer as told and logs requests.
inline std::string askResponder(const std::string& line) {
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
inline std::vector<NtpServer> openServers(const std::string& behaviours) {
    std::istringstream ports(askResponder("open " + std::to_string(kUnix2026 + 2208988800) + " " + behaviours));
    std::vector<NtpServer> servers;
    for (int port; ports >> port;) servers.push_back({"127.0.0.1", static_cast<std::uint16_t>(port)});
    return servers;
}

// The indices, in the order asked, of the servers opened together with `first` that received a request.
inline std::string serversAsked(const NtpServer& first) {
    return askResponder("log " + std::to_string(first.port));
}
