#include <algorithm>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "net/NtpPacket.h"

static uint64_t bigEndian(const std::vector<uint8_t>& bytes, std::size_t at, int count) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[at + i];
    return value;
}

// Input: a flag byte, the nonce, the server's and the source's endpoint, then the datagram. The flags make the
// common case likely: bit 0 has the datagram come from the server, bit 1 has it echo the nonce.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::vector<uint8_t> input(data, data + size);
    input.resize(std::max<std::size_t>(size, 21));  // zeros where the bytes run out
    std::size_t at = 0;
    const auto take = [&](int count) { return bigEndian(input, (at += count) - count, count); };
    const uint64_t flags = take(1);
    const uint64_t nonce = take(8);
    const UdpEndpoint server{static_cast<uint32_t>(take(4)), static_cast<uint16_t>(take(2))};
    UdpEndpoint source{static_cast<uint32_t>(take(4)), static_cast<uint16_t>(take(2))};
    if (flags & 1) source = server;
    std::vector<uint8_t> datagram(input.begin() + at, input.end());
    if ((flags & 2) && datagram.size() >= 32)
        for (int i = 0; i < 8; ++i) datagram[24 + i] = static_cast<uint8_t>(nonce >> (56 - 8 * i));

    const bool answer = isNtpAnswerTo(datagram.data(), datagram.size(), nonce, server, source);
    const std::optional<uint32_t> unixTime = ntpAnswerUnixTime(datagram.data(), datagram.size(), nonce, server, source);
    if (answer)
        FUZZ_CHECK(datagram.size() == kNtpPacketSize && source == server && bigEndian(datagram, 24, 8) == nonce);
    if (!unixTime) return 0;

    FUZZ_CHECK(answer);
    FUZZ_CHECK((datagram[0] & 0x07) == 4 && (datagram[0] >> 6) != 3);
    FUZZ_CHECK(datagram[1] >= 1 && datagram[1] <= 15);
    FUZZ_CHECK(*unixTime <= 2085978495u);
    FUZZ_CHECK(uint64_t{*unixTime} + kNtpSecondsAtUnixEpoch == bigEndian(datagram, 40, 4));

    // Poll, precision, delays, reference and receive timestamps and the transmit fraction play no part.
    for (std::size_t ignored = 2; ignored < kNtpPacketSize; ++ignored) {
        if ((ignored >= 24 && ignored < 32) || (ignored >= 40 && ignored < 44)) continue;
        std::vector<uint8_t> changed = datagram;
        changed[ignored] ^= 0xFF;
        FUZZ_CHECK(ntpAnswerUnixTime(changed.data(), changed.size(), nonce, server, source) == unixTime);
    }
    return 0;
}
