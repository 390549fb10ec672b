#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// SNTP over UDP: one 48-byte request, one 48-byte answer, multi-byte fields big-endian.
constexpr std::size_t kNtpPacketSize = 48;
using NtpPacket = std::array<std::uint8_t, kNtpPacketSize>;

// NTP counts seconds from 1900-01-01; this many of them had passed on 1970-01-01.
constexpr std::uint32_t kNtpSecondsAtUnixEpoch = 2208988800u;

// An IPv4 address and port, both in host byte order.
struct UdpEndpoint {
    std::uint32_t address = 0;
    std::uint16_t port = 0;

    bool operator==(const UdpEndpoint& o) const { return address == o.address && port == o.port; }
    bool operator!=(const UdpEndpoint& o) const { return !(*this == o); }
};

// A client request carrying nonce as its transmit timestamp; a genuine server echoes that value back as the
// originate timestamp of its answer, which an off-path spoofer cannot guess.
NtpPacket makeNtpRequest(std::uint64_t nonce);

// Whether a datagram from source is the answer of server to the request carrying nonce: all 48 bytes, from where the
// request went, echoing the nonce as its originate timestamp. Anything else is noise or a spoof, and the real answer
// may still follow it.
bool isNtpAnswerTo(const std::uint8_t* datagram, std::size_t size, std::uint64_t nonce, const UdpEndpoint& server,
                   const UdpEndpoint& source);

// The Unix seconds (0 to 2085978495) of the transmit timestamp of an answer that a synchronised server would send
// to the request carrying nonce that went to server. nullopt for anything else: another sender, a truncated datagram,
// a non-server mode, an unsynchronised or kiss-o'-death server, seconds before 1970 (also those of the NTP era
// that starts in 2036) or an originate timestamp that is not our nonce.
std::optional<std::uint32_t> ntpAnswerUnixTime(const std::uint8_t* datagram, std::size_t size, std::uint64_t nonce,
                                               const UdpEndpoint& server, const UdpEndpoint& source);
