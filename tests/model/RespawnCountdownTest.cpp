#include <gtest/gtest.h>

#include "model/RespawnCountdown.h"

TEST(RespawnCountdown, CountsToTheNextRespawnMinute) {
    constexpr int64_t kNoon = 1'740'830'400;  // 2025-03-01 12:00:00 UTC
    const std::tuple<const char*, int32_t, const char*, int64_t, const wchar_t*> cases[] = {
        {"later this hour", 30, "boss", kNoon + 10 * 60 + 5, L"19m 55s"},
        {"just after the respawn", 30, "boss", kNoon + 30 * 60 + 1, L"59m 59s"},
        {"the respawn second counts a full hour", 0, "boss", kNoon, L"60m 0s"},
        {"one second before, the last second the calendar shows", 0, "boss", 32'535'215'999, L"1s"},
        {"minute 60", 60, "boss", kNoon, L""},
        {"negative minute", -1, "boss", kNoon, L""},
        {"magical creature", 30, "magical_creature", kNoon, L""},
        {"before 1970, which the Windows calendar cannot show", 30, "boss", -1, L""},
        {"after the year 3000, as on Windows", 30, "boss", 32'535'216'000, L""},
    };
    for (const auto& [name, minute, type, now, expected] : cases)
        EXPECT_EQ(respawnCountdownText(BossInfo{"id", "name", 0, minute, type}, now), expected) << name;
}
