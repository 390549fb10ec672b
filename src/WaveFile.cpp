#include "WaveFile.h"

#include <cstring>

namespace {

// "RIFF" size "WAVE", the 16-byte PCM "fmt " chunk with its header, the "data" chunk's header.
constexpr size_t kPcmHeaderBytes = 44;

void putText(std::vector<uint8_t>& out, const char (&text)[5]) {
    out.insert(out.end(), text, text + 4);
}

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> WaveFileBytes(const std::vector<int16_t>& samples, uint32_t sampleRate) {
    constexpr uint32_t kBytesPerSample = 2;
    const auto dataBytes = static_cast<uint32_t>(samples.size() * kBytesPerSample);
    std::vector<uint8_t> out;
    out.reserve(kPcmHeaderBytes + dataBytes);
    putText(out, "RIFF");
    putLittleEndian(out, static_cast<uint32_t>(kPcmHeaderBytes - 8 + dataBytes), 4);
    putText(out, "WAVE");
    putText(out, "fmt ");
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, 1, 2);  // mono
    putLittleEndian(out, sampleRate, 4);
    putLittleEndian(out, sampleRate * kBytesPerSample, 4);
    putLittleEndian(out, kBytesPerSample, 2);
    putLittleEndian(out, 8 * kBytesPerSample, 2);
    putText(out, "data");
    putLittleEndian(out, dataBytes, 4);
    for (int16_t sample : samples) putLittleEndian(out, static_cast<uint16_t>(sample), 2);
    return out;
}

bool WaveFileLooksPlayable(const uint8_t* head, size_t headSize, uint64_t fileSize) {
    return headSize >= kWaveHeadBytes && fileSize >= kPcmHeaderBytes && fileSize <= kLongestWaveFileBytes &&
           std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}
