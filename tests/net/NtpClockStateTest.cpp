#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

#include "net/NtpClockState.h"
#include "net/NtpSyncSchedule.h"

TEST(NtpClockState, FollowsTheLocalClockUntilASyncThenCountsWholeSecondsFromIt) {
    std::uint64_t tick = 5000;
    NtpClockState clock([&tick] { return tick; });
    const std::int64_t before = std::time(nullptr), local = clock.now();
    EXPECT_TRUE(local >= before && local <= std::time(nullptr)) << local;
    EXPECT_EQ(clock.lastSyncTime(), 0);
    EXPECT_FALSE(clock.isFresh());

    // Ticks far past 2^32 ms: the base must not wrap like a 32-bit tick count would.
    constexpr std::uint64_t kBase = 0x1'0000'0000'0000u;
    constexpr std::int64_t kT = 1796601600;
    tick = kBase;
    clock.publish(static_cast<std::uint32_t>(kT));
    // Milliseconds since the sync, and then the time, the milliseconds until its next second, and freshness.
    const std::tuple<const char*, std::uint64_t, std::int64_t, std::uint32_t, bool> cases[] = {
        {"999 ms after the sync", 999, kT, 1, true},
        {"1000 ms after", 1000, kT + 1, 1000, true},
        {"last fresh millisecond", 86399999, kT + 86399, 1, true},
        {"24 h after", 86400000, kT + 86400, 1000, false},
        {"a year after, still counting", 31536000250u, kT + 31536000, 750, false},
    };
    for (const auto& [name, elapsedMs, now, msUntilNextSecond, fresh] : cases) {
        SCOPED_TRACE(name);
        tick = kBase + elapsedMs;
        EXPECT_EQ(clock.now(), now);
        EXPECT_EQ(clock.msUntilNextSecond(), msUntilNextSecond);
        EXPECT_EQ(clock.isFresh(), fresh);
    }

    // A later sync restarts both the count and the freshness window.
    clock.publish(static_cast<std::uint32_t>(kT + 100));
    tick += 999;
    EXPECT_EQ(clock.now(), kT + 100);
    EXPECT_TRUE(clock.isFresh());
}

TEST(NtpSyncSchedule, BacksOffWhileUnsyncedAndRefreshesEveryFiveMinutesOnceFresh) {
    NtpSyncSchedule schedule;
    // Whether the clock is fresh as each attempt starts, and the wait before the next one.
    const std::tuple<const char*, bool, std::uint32_t> cases[] = {
        {"the first attempt", false, 10000},
        {"no server answered", false, 20000},
        {"still none", false, 40000},
        {"still none", false, 80000},
        {"still none", false, 160000},
        {"capped at the refresh period", false, 300000},
        {"and stays there", false, 300000},
        {"a sync succeeded", true, 300000},
        {"fresh", true, 300000},
        {"stale again: back off from the start", false, 10000},
        {"none again", false, 20000},
    };
    for (const auto& [name, fresh, delayMs] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(schedule.nextDelayMs(fresh), delayMs);
    }
}
