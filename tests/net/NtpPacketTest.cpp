#include <gtest/gtest.h>

#include "net/NtpPacket.h"

TEST(NtpPacket, AcceptsOnlyASynchronisedServersAnswerToOurRequest) {
    constexpr std::uint64_t kNonce = 0x8badf00d5eed1234u;
    constexpr UdpEndpoint kServer{0x7F000001u, 123};
    // Each row writes value over width bytes at offset of a stratum-2 server's answer to the kNonce request (the
    // clock's test sends it from another port, cut short, of stratum 0, or with the originate's lowest bit changed).
    struct Case {
        const char* name;
        std::size_t offset, width;
        std::uint64_t value;
        std::optional<std::uint32_t> expected;
        UdpEndpoint source = kServer;
    };
    const Case cases[] = {
        {"good answer (2026-12-07)", 0, 0, 0, 1796601600u},
        {"leap second warning is fine", 0, 1, 0x64, 1796601600u},
        {"stratum 1", 1, 1, 1, 1796601600u},
        {"stratum 15", 1, 1, 15, 1796601600u},
        {"from another address", 0, 0, 0, std::nullopt, {0x7F000002u, 123}},
        {"client mode: our own request reflected", 0, 1, 0x23, std::nullopt},
        {"leap 3: unsynchronised", 0, 1, 0xE4, std::nullopt},
        {"stratum 16", 1, 1, 16, std::nullopt},
        {"originate differs in its highest bit", 24, 8, kNonce ^ 0x8000000000000000u, std::nullopt},
        {"last second before 1970", 40, 4, kNtpSecondsAtUnixEpoch - 1, std::nullopt},
        {"1970-01-01 is Unix 0", 40, 4, kNtpSecondsAtUnixEpoch, 0u},
        {"last second of the era fits 32 bits", 40, 4, 0xFFFFFFFFu, 2085978495u},
        {"2037, after the era rollover", 40, 4, 28402304u, std::nullopt},
    };
    const auto put = [](NtpPacket& packet, std::size_t offset, std::uint64_t value, std::size_t width) {
        for (std::size_t i = width; i-- > 0; value >>= 8) packet[offset + i] = static_cast<std::uint8_t>(value);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NtpPacket answer{0x24, 2};  // leap 0, version 4, mode 4 (server); stratum 2
        put(answer, 24, kNonce, 8);
        put(answer, 40, 4005590400u, 4);
        put(answer, c.offset, c.value, c.width);
        EXPECT_EQ(ntpAnswerUnixTime(answer.data(), kNtpPacketSize, kNonce, kServer, c.source), c.expected);
    }
}
