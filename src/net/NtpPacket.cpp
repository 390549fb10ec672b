#include "net/NtpPacket.h"

namespace {

constexpr std::uint8_t kClientRequestHeader = 0x1B;  // leap indicator 0, version 3, mode 3 (client)
constexpr std::uint8_t kServerMode = 4;
constexpr std::uint8_t kLeapUnsynchronised = 3;
constexpr std::uint8_t kLowestStratum = 1;  // 0 is a kiss-o'-death answer
constexpr std::uint8_t kHighestStratum = 15;
constexpr std::size_t kOriginateOffset = 24;
constexpr std::size_t kTransmitOffset = 40;

std::uint64_t readBigEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

}  // namespace

NtpPacket makeNtpRequest(std::uint64_t nonce) {
    NtpPacket request{};
    request[0] = kClientRequestHeader;
    for (int i = 0; i < 8; ++i) request[kTransmitOffset + i] = static_cast<std::uint8_t>(nonce >> (56 - 8 * i));
    return request;
}

bool isNtpAnswerTo(const std::uint8_t* datagram, std::size_t size, std::uint64_t nonce, const UdpEndpoint& server,
                   const UdpEndpoint& source) {
    return source == server && size == kNtpPacketSize && readBigEndian(datagram + kOriginateOffset, 8) == nonce;
}

std::optional<std::uint32_t> ntpAnswerUnixTime(const std::uint8_t* datagram, std::size_t size, std::uint64_t nonce,
                                               const UdpEndpoint& server, const UdpEndpoint& source) {
    if (!isNtpAnswerTo(datagram, size, nonce, server, source)) return std::nullopt;
    const std::uint8_t leap = datagram[0] >> 6;
    const std::uint8_t mode = datagram[0] & 0x07;
    const std::uint8_t stratum = datagram[1];
    if (mode != kServerMode || leap == kLeapUnsynchronised) return std::nullopt;
    if (stratum < kLowestStratum || stratum > kHighestStratum) return std::nullopt;
    const auto seconds = static_cast<std::uint32_t>(readBigEndian(datagram + kTransmitOffset, 4));
    // Also rejects 0, which unsynchronised servers send, and the small values of the era that begins in 2036.
    if (seconds < kNtpSecondsAtUnixEpoch) return std::nullopt;
    return seconds - kNtpSecondsAtUnixEpoch;
}
