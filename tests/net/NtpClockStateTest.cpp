#include <gtest/gtest.h>

#include <ctime>

#include "net/NtpClockState.h"

TEST(NtpClockState, FollowsTheLocalClockUntilTheFirstSync) {
    const NtpClockState clock([] { return std::uint64_t{5000}; });
    const std::int64_t before = std::time(nullptr);
    const std::int64_t now = clock.now();
    EXPECT_GE(now, before);
    EXPECT_LE(now, static_cast<std::int64_t>(std::time(nullptr)));
    EXPECT_EQ(clock.lastSyncTime(), 0);
    EXPECT_FALSE(clock.isFresh());
}

TEST(NtpClockState, CountsWholeSecondsFromTheLastSync) {
    // Ticks far past 2^32 ms: the base must not wrap like a 32-bit tick count would.
    constexpr std::uint64_t kBase = 0x1'0000'0000'0000u;
    constexpr std::int64_t kT = 1796601600;
    std::uint64_t tick = kBase;
    NtpClockState clock([&tick] { return tick; });
    clock.publish(static_cast<std::uint32_t>(kT));

    struct Case {
        const char* name;
        std::uint64_t elapsedMs;
        std::int64_t now;
        bool fresh;
    };
    const Case cases[] = {
        {"at the sync", 0, kT, true},
        {"999 ms later", 999, kT, true},
        {"1000 ms later", 1000, kT + 1, true},
        {"1999 ms later", 1999, kT + 1, true},
        {"last fresh millisecond", 86399999, kT + 86399, true},
        {"24 h later", 86400000, kT + 86400, false},
        {"a year later still extrapolates", 31536000000u, kT + 31536000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tick = kBase + c.elapsedMs;
        EXPECT_EQ(clock.now(), c.now);
        EXPECT_EQ(clock.isFresh(), c.fresh);
        EXPECT_EQ(clock.lastSyncTime(), kT);
    }

    tick += 1500;
    clock.publish(static_cast<std::uint32_t>(kT + 100));
    EXPECT_EQ(clock.lastSyncTime(), kT + 100);
    EXPECT_TRUE(clock.isFresh());
    tick += 999;
    EXPECT_EQ(clock.now(), kT + 100);
}
