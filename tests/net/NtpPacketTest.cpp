#include <gtest/gtest.h>

#include "net/NtpPacket.h"

namespace {

constexpr std::uint64_t kNonce = 0x8badf00d5eed1234u;
constexpr std::uint32_t kSeconds2026 = 4005590400u;  // 2026-12-07 00:00:00 UTC
constexpr std::uint32_t kUnix2026 = 1796601600u;
constexpr UdpEndpoint kServer{0x7F000001u, 123};

void putBigEndian(NtpPacket& packet, std::size_t offset, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i, value >>= 8) packet[offset + i] = static_cast<std::uint8_t>(value);
}

// What a synchronised stratum-2 server sends back for the request carrying kNonce.
NtpPacket goodAnswer() {
    NtpPacket answer{};
    answer[0] = 0x24;  // leap 0, version 4, mode 4
    answer[1] = 2;
    putBigEndian(answer, 24, kNonce, 8);
    putBigEndian(answer, 32, kSeconds2026 - 1, 4);
    putBigEndian(answer, 40, kSeconds2026, 4);
    putBigEndian(answer, 44, 0x80000000u, 4);
    return answer;
}

}  // namespace

TEST(NtpPacket, RequestIsAClientHeaderAndTheNonceInTheTransmitField) {
    const NtpPacket request = makeNtpRequest(0x0102030405060708u);
    EXPECT_EQ(request[0], 0x1B);
    for (std::size_t i = 1; i < 40; ++i) EXPECT_EQ(request[i], 0) << "offset " << i;
    for (std::size_t i = 40; i < 48; ++i) EXPECT_EQ(request[i], i - 39) << "offset " << i;
}

TEST(NtpPacket, AcceptsOnlyASynchronisedServersAnswerToOurRequest) {
    struct Case {
        const char* name;
        void (*edit)(NtpPacket&);
        std::size_t size;
        UdpEndpoint source;
        std::optional<std::uint32_t> expected;
    };
    const auto unchanged = [](NtpPacket&) {};
    const Case cases[] = {
        {"good answer", unchanged, 48, kServer, kUnix2026},
        {"fraction is ignored", [](NtpPacket& a) { putBigEndian(a, 44, 0xFFFFFFFFu, 4); }, 48, kServer, kUnix2026},
        {"leap second warning is fine", [](NtpPacket& a) { a[0] = 0x64; }, 48, kServer, kUnix2026},
        {"stratum 1", [](NtpPacket& a) { a[1] = 1; }, 48, kServer, kUnix2026},
        {"stratum 15", [](NtpPacket& a) { a[1] = 15; }, 48, kServer, kUnix2026},
        {"from another port", unchanged, 48, {kServer.address, 124}, std::nullopt},
        {"from another address", unchanged, 48, {0x7F000002u, 123}, std::nullopt},
        {"short datagram", unchanged, 47, kServer, std::nullopt},
        {"empty datagram", unchanged, 0, kServer, std::nullopt},
        {"client mode", [](NtpPacket& a) { a[0] = 0x23; }, 48, kServer, std::nullopt},
        {"broadcast mode", [](NtpPacket& a) { a[0] = 0x25; }, 48, kServer, std::nullopt},
        {"symmetric mode", [](NtpPacket& a) { a[0] = 0x21; }, 48, kServer, std::nullopt},
        {"leap 3: unsynchronised", [](NtpPacket& a) { a[0] = 0xE4; }, 48, kServer, std::nullopt},
        {"stratum 0: kiss-o'-death", [](NtpPacket& a) { a[1] = 0; }, 48, kServer, std::nullopt},
        {"stratum 16", [](NtpPacket& a) { a[1] = 16; }, 48, kServer, std::nullopt},
        {"originate zero", [](NtpPacket& a) { putBigEndian(a, 24, 0, 8); }, 48, kServer, std::nullopt},
        {"originate low byte differs", [](NtpPacket& a) { a[31] ^= 1; }, 48, kServer, std::nullopt},
        {"originate high byte differs", [](NtpPacket& a) { a[24] ^= 0x80; }, 48, kServer, std::nullopt},
        {"nonce in the receive field only",
         [](NtpPacket& a) {
             putBigEndian(a, 24, 0, 8);
             putBigEndian(a, 32, kNonce, 8);
         },
         48, kServer, std::nullopt},
        {"zero seconds", [](NtpPacket& a) { putBigEndian(a, 40, 0, 4); }, 48, kServer, std::nullopt},
        {"last second before 1970", [](NtpPacket& a) { putBigEndian(a, 40, kNtpSecondsAtUnixEpoch - 1, 4); }, 48,
         kServer, std::nullopt},
        {"1970-01-01 is Unix 0", [](NtpPacket& a) { putBigEndian(a, 40, kNtpSecondsAtUnixEpoch, 4); }, 48, kServer, 0u},
        {"last second of the era fits 32 bits", [](NtpPacket& a) { putBigEndian(a, 40, 0xFFFFFFFFu, 4); }, 48, kServer,
         2085978495u},
        {"2037 after the era rollover", [](NtpPacket& a) { putBigEndian(a, 40, 28402304u, 4); }, 48, kServer,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NtpPacket answer = goodAnswer();
        c.edit(answer);
        EXPECT_EQ(ntpAnswerUnixTime(answer.data(), c.size, kNonce, kServer, c.source), c.expected);
    }
}
