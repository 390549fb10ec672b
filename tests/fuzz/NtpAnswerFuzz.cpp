#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "net/NtpPacket.h"

namespace {

// Reads the fuzzer's bytes front to back; zeros once they run out.
class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    uint64_t take(int count) {
        uint64_t value = 0;
        for (int i = 0; i < count; ++i) value = value << 8 | (at_ < size_ ? data_[at_++] : 0);
        return value;
    }
    std::vector<uint8_t> rest() const { return {data_ + at_, data_ + size_}; }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

uint64_t bigEndian(const std::vector<uint8_t>& bytes, std::size_t at, int count) {
    uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[at + i];
    return value;
}

}  // namespace

// Input: a flag byte, the nonce, the server's and the source's endpoint, then the datagram. The flags make the
// common case likely: bit 0 has the datagram come from the server, bit 1 has it echo the nonce.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ByteReader reader(data, size);
    const uint64_t flags = reader.take(1);
    const uint64_t nonce = reader.take(8);
    const UdpEndpoint server{static_cast<uint32_t>(reader.take(4)), static_cast<uint16_t>(reader.take(2))};
    UdpEndpoint source{static_cast<uint32_t>(reader.take(4)), static_cast<uint16_t>(reader.take(2))};
    if (flags & 1) source = server;
    std::vector<uint8_t> datagram = reader.rest();
    if ((flags & 2) && datagram.size() >= 32)
        for (int i = 0; i < 8; ++i) datagram[24 + i] = static_cast<uint8_t>(nonce >> (56 - 8 * i));

    const bool answer = isNtpAnswerTo(datagram.data(), datagram.size(), nonce, server, source);
    const std::optional<uint32_t> unixTime = ntpAnswerUnixTime(datagram.data(), datagram.size(), nonce, server, source);
    if (answer) {
        FUZZ_CHECK(datagram.size() == kNtpPacketSize && source == server && bigEndian(datagram, 24, 8) == nonce);
    }
    if (!unixTime) return 0;

    FUZZ_CHECK(answer);
    FUZZ_CHECK((datagram[0] & 0x07) == 4 && (datagram[0] >> 6) != 3);
    FUZZ_CHECK(datagram[1] >= 1 && datagram[1] <= 15);
    FUZZ_CHECK(*unixTime <= 2085978495u);
    FUZZ_CHECK(uint64_t{*unixTime} + kNtpSecondsAtUnixEpoch == bigEndian(datagram, 40, 4));

    // Poll, precision, delays, reference and receive timestamps and the transmit fraction play no part.
    for (std::size_t ignored = 2; ignored < kNtpPacketSize; ++ignored) {
        const bool originate = ignored >= 24 && ignored < 32, transmitSeconds = ignored >= 40 && ignored < 44;
        if (originate || transmitSeconds) continue;
        std::vector<uint8_t> changed = datagram;
        changed[ignored] ^= 0xFF;
        FUZZ_CHECK(ntpAnswerUnixTime(changed.data(), changed.size(), nonce, server, source) == unixTime);
    }
    return 0;
}
