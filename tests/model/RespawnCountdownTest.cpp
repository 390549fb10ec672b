#include <gtest/gtest.h>

#include "model/RespawnCountdown.h"

namespace {

constexpr int64_t kNoon = 1'740'830'400;  // 2025-03-01 12:00:00 UTC

BossInfo boss(int32_t respawnMinute, const char* type = "boss") {
    BossInfo b;
    b.id = "id";
    b.name = "name";
    b.respawnTime = respawnMinute;
    b.type = type;
    return b;
}

}  // namespace

TEST(RespawnCountdown, CountsToTheNextRespawnMinute) {
    struct Case {
        const char* name;
        BossInfo boss;
        int64_t now;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {"later this hour", boss(30), kNoon + 10 * 60 + 5, L"19m 55s"},
        {"just after the respawn", boss(30), kNoon + 30 * 60 + 1, L"59m 59s"},
        {"one second before", boss(0), kNoon + 59 * 60 + 59, L"1s"},
        {"the respawn second counts a full hour", boss(0), kNoon, L"60m 0s"},
        {"under a minute", boss(45), kNoon + 44 * 60 + 1, L"59s"},
        {"last minute of the hour", boss(59), kNoon, L"59m 0s"},
        {"the epoch itself", boss(1), 0, L"1m 0s"},
        {"the last second the calendar shows", boss(0), 32'535'215'999, L"1s"},
        {"minute 60", boss(60), kNoon, L""},
        {"negative minute", boss(-1), kNoon, L""},
        {"magical creature", boss(30, "magical_creature"), kNoon, L""},
        {"before 1970", boss(30), -1, L""},
        {"after the year 3000", boss(30), 32'535'216'000, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(respawnCountdownText(c.boss, c.now), c.expected);
    }
}
