#include <gtest/gtest.h>

#include "ui/SliderGeometry.h"

TEST(SliderGeometry, MouseXSelectsTheNearestValue) {
    const std::tuple<const char*, int, int, int, int, std::optional<int>> cases[] = {
        {"at the left inset", 16, 100, 0, 100, 0},
        {"left of the track", -40, 100, 0, 100, 0},
        {"at the right inset", 84, 100, 0, 100, 100},
        {"right of the track", 300, 100, 0, 100, 100},
        {"middle rounds to nearest", 50, 100, 0, 100, 50},  // (100 * 34 + 34) / 68
        {"one pixel in", 17, 100, 0, 100, 1},               // (100 + 34) / 68
        {"offset range", 50, 100, 20, 100, 60},
        {"33 px has a one-pixel span", 17, 33, 0, 10, 10},
        {"32 px is too narrow", 20, 32, 0, 100, std::nullopt},
        {"empty range", 50, 100, 5, 5, 5},
        {"wide range does not overflow", 50, 100, 0, 100000000, 50000000},
    };
    for (const auto& [name, x, width, min, max, expected] : cases)
        EXPECT_EQ(SliderValueAt(x, width, min, max, DpiScale()), expected) << name;
    // At 200 % the insets double: the span runs from x = 32 to width - 32.
    EXPECT_EQ(SliderValueAt(32, 200, 0, 100, DpiScale(192)), 0);
    EXPECT_EQ(SliderValueAt(100, 200, 0, 100, DpiScale(192)), 50);
    EXPECT_EQ(SliderValueAt(168, 200, 0, 100, DpiScale(192)), 100);
    EXPECT_EQ(SliderValueAt(30, 64, 0, 100, DpiScale(192)), std::nullopt);
}

TEST(SliderGeometry, KeysStepWithinTheRange) {
    const std::tuple<SliderKey, int, int> cases[] = {
        {SliderKey::StepUp, 75, 76},   {SliderKey::StepDown, 20, 20}, {SliderKey::PageUp, 95, 100},
        {SliderKey::PageDown, 75, 65}, {SliderKey::Home, 75, 20},     {SliderKey::End, 75, 100},
    };
    for (const auto& [key, value, expected] : cases)
        EXPECT_EQ(SliderValueForKey(key, value, 20, 100), expected) << static_cast<int>(key);
}
