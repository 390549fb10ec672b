#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <optional>
#include <random>
#include <thread>
#include <utility>

#include "base/SucceedOnce.h"
#include "net/NtpClock.h"
#include "net/NtpPacket.h"

namespace {

class UdpSocket {
public:
    UdpSocket() : handle(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {}
    ~UdpSocket() {
        if (valid()) closesocket(handle);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    SOCKET get() const { return handle; }
    bool valid() const { return handle != INVALID_SOCKET; }

private:
    const SOCKET handle;
};

struct AddrInfoFree {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoFree>;

// Winsock needs one successful WSAStartup per process before its first call; it then stays up until the
// process ends. A start that failed is tried again by the next sync.
bool startWinsock() {
    static SucceedOnce winsock;
    return winsock.run([] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
}

std::uint64_t randomNonce() {
    std::random_device device;
    return (std::uint64_t{device()} << 32) | device();
}

UdpEndpoint endpointOf(const sockaddr_in& address) {
    return {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

bool setTimeout(SOCKET handle, int option, std::chrono::milliseconds limit) {
    const DWORD timeout = static_cast<DWORD>(limit.count());
    return setsockopt(handle, SOL_SOCKET, option, reinterpret_cast<const char*>(&timeout), sizeof timeout) == 0;
}

// The server's answer, read within the time-out. Datagrams that are not its answer to this request are passed
// over, so that a flood of spoofed or malformed ones cannot make the client give up on an answer still on its way.
std::optional<std::uint32_t> awaitAnswer(const UdpSocket& udp, std::uint64_t nonce, const UdpEndpoint& server,
                                         std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || !setTimeout(udp.get(), SO_RCVTIMEO, left)) return std::nullopt;
        NtpPacket datagram{};
        sockaddr_in source{};
        int sourceLength = sizeof source;
        const int received = recvfrom(udp.get(), reinterpret_cast<char*>(datagram.data()), kNtpPacketSize, 0,
                                      reinterpret_cast<sockaddr*>(&source), &sourceLength);
        if (received < 0) {
            // A datagram longer than an answer arrives cut short with this error; it is not the answer either.
            if (WSAGetLastError() == WSAEMSGSIZE) continue;
            return std::nullopt;
        }
        const auto size = static_cast<std::size_t>(received);
        if (isNtpAnswerTo(datagram.data(), size, nonce, server, endpointOf(source)))
            return ntpAnswerUnixTime(datagram.data(), size, nonce, server, endpointOf(source));
    }
}

// The Unix time one server gives, or nullopt when it cannot be reached or its answer is not acceptable.
std::optional<std::uint32_t> askServer(const NtpServer& server, std::chrono::milliseconds timeout) {
    UdpSocket udp;
    // Without the time-outs a silent server would hold this thread forever.
    if (!udp.valid() || !setTimeout(udp.get(), SO_RCVTIMEO, timeout) || !setTimeout(udp.get(), SO_SNDTIMEO, timeout)) {
        return std::nullopt;
    }

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* found = nullptr;
    if (getaddrinfo(server.host.c_str(), std::to_string(server.port).c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    const AddrInfoList resolved(found);
    const UdpEndpoint sentTo = endpointOf(*reinterpret_cast<const sockaddr_in*>(resolved->ai_addr));

    const std::uint64_t nonce = randomNonce();
    const NtpPacket request = makeNtpRequest(nonce);
    const int sent = sendto(udp.get(), reinterpret_cast<const char*>(request.data()), kNtpPacketSize, 0,
                            resolved->ai_addr, static_cast<int>(resolved->ai_addrlen));
    if (sent != static_cast<int>(kNtpPacketSize)) return std::nullopt;
    return awaitAnswer(udp, nonce, sentTo, timeout);
}

bool syncWith(const std::vector<NtpServer>& servers, NtpClockState& state, const NtpTiming& timing) {
    if (!startWinsock()) return false;
    for (const NtpServer& server : servers) {
        if (const std::optional<std::uint32_t> unixTime = askServer(server, timing.timeout)) {
            state.publish(*unixTime);
            return true;
        }
        std::this_thread::sleep_for(timing.failedPause);
    }
    return false;
}

}  // namespace

std::vector<NtpServer> defaultNtpServers() {
    return {{"pool.ntp.org"}, {"time.google.com"}, {"time.cloudflare.com"}, {"time.windows.com"}};
}

NtpClock::NtpClock(std::vector<NtpServer> servers, NtpClockState::TickSource ticks, NtpTiming timing)
    : servers(std::make_shared<const std::vector<NtpServer>>(std::move(servers))),
      state(std::make_shared<NtpClockState>(std::move(ticks))),
      timing(timing) {}

NtpClock::~NtpClock() = default;

std::uint64_t NtpClock::monotonicTicks() {
    return GetTickCount64();
}

bool NtpClock::sync() {
    return syncWith(*servers, *state, timing);
}

bool NtpClock::syncAsync() {
    if (background && background->running()) return true;
    background = WorkerThread::start(
        [servers = servers, state = state, timing = timing] { syncWith(*servers, *state, timing); });
    return background != nullptr;
}
