#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Chime.h"
#include "WaveFile.h"

static uint32_t littleEndian(const std::vector<uint8_t>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
    return value;
}

TEST(WaveFile, TheChimeIsASoftPcmFileAndOnlyWaveFilesOfASaneSizeLookPlayable) {
    const std::vector<uint8_t> chime = ChimeWaveFile();
    const auto size = static_cast<uint32_t>(chime.size());
    // RIFF size, PCM, mono, rate, 16 bits, "data", data size: the samples fill the file.
    const uint32_t fields[][3] = {{4, 4, size - 8}, {20, 2, 1},          {22, 2, 1},        {24, 4, kChimeSampleRate},
                                  {34, 2, 16},      {36, 4, 0x61746164}, {40, 4, size - 44}};
    for (const auto& field : fields) EXPECT_EQ(littleEndian(chime, field[0], field[1]), field[2]) << field[0];
    int peak = 0;
    for (size_t at = 44; at < size; at += 2) peak = std::max(peak, std::abs(int16_t(littleEndian(chime, at, 2))));
    EXPECT_TRUE(peak > 32767 / 10 && peak < 32767 / 2) << peak;

    struct Case {
        const char* name;
        std::string head;
        uint64_t fileSize;
        bool playable;
    };
    const std::string riff(chime.begin(), chime.begin() + kWaveHeadBytes);
    const Case cases[] = {
        {"the chime", riff, size, true},
        {"at the limit", riff, kLongestWaveFileBytes, true},
        {"too large", riff, kLongestWaveFileBytes + 1, false},
        {"no room for a format", riff, 43, false},
        {"head cut short", riff.substr(0, 11), size, false},
        {"another RIFF form", riff.substr(0, 8) + "AVI ", size, false},
        {"not RIFF", "RIFX" + riff.substr(4), size, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WaveFileLooksPlayable(reinterpret_cast<const uint8_t*>(c.head.data()), c.head.size(), c.fileSize),
                  c.playable)
            << c.name;
}
