#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "views/ChannelRowText.h"

TEST(ChannelRowText, LabelsAndOverlays) {
    EXPECT_EQ(ChannelLabelText(5, 87), "Ch.   5 |  87%");
    EXPECT_EQ(ChannelLabelText(123, 100), "Ch. 123 | 100%");
    EXPECT_EQ(ChannelLabelText(-4, 1000), "Ch.  -4 | 1000%");
    EXPECT_EQ(ChannelRowSpokenText({5, 87, 0.42, 95.7}), "Ch.   5 |  87% 1m 35s (-0.4%/s)");
    EXPECT_EQ(ChannelRowSpokenText({5, 87, 0, 0}), "Ch.   5 |  87%");

    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<double, double, const char*> cases[] = {
        {-1, 2.5, "(-2.5%/s)"},
        {0, 0.01, ""},  // both limits are strict
        {60.0, 0, "1m 0s"},
        {59.9, 0, "59s"},
        {0.5, 0, "0s"},
        {2147483648.5, 0, "35791394m 7s"},  // beyond 32-bit seconds the time saturates rather than wraps
        {inf, 0, "35791394m 7s"},
        {nan, nan, ""},
        {-1e300, -5, ""},
        {0, 1e30, "(-10000000000000000198846248386"},  // the rate cut at 31 characters, not overrun
    };
    for (const auto& [etd, dps, text] : cases) EXPECT_EQ(ChannelOverlayText(etd, dps), text) << etd << " " << dps;
}

TEST(ChannelRowText, BarColourByThresholdAndFill) {
    const std::tuple<int32_t, uint32_t, uint32_t> cases[] = {
        {24, 0, 0x0000FF}, {25, 0, 0x00C8FF}, {49, 0, 0x00C8FF},
        {50, 0, 0x00C800}, {-5, 0, 0x0000FF}, {100, 0x808080, 0x808080},  // a stale row is grey whatever its HP
    };
    for (const auto& [hp, own, expected] : cases) EXPECT_EQ(ChannelBarColor({0, hp, 0, 0, own}), expected) << hp;
    EXPECT_EQ(ChannelBarFill(200, -3), 0);
    EXPECT_EQ(ChannelBarFill(201, 50), 100);
    EXPECT_EQ(ChannelBarFill(200, 150), 300);
}
