#include <gtest/gtest.h>

#include "ui/SliderGeometry.h"

TEST(SliderGeometry, MouseXSelectsTheNearestValue) {
    struct Case {
        const char* name;
        int x, width, min, max;
        std::optional<int> expected;
    };
    const Case cases[] = {
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
    // At 200 % the insets double: the span runs from x = 32 to width - 32.
    EXPECT_EQ(SliderValueAt(32, 200, 0, 100, DpiScale(192)), 0);
    EXPECT_EQ(SliderValueAt(100, 200, 0, 100, DpiScale(192)), 50);
    EXPECT_EQ(SliderValueAt(168, 200, 0, 100, DpiScale(192)), 100);
    EXPECT_EQ(SliderValueAt(30, 64, 0, 100, DpiScale(192)), std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SliderValueAt(c.x, c.width, c.min, c.max, DpiScale()), c.expected);
    }
}

TEST(SliderGeometry, KeysStepWithinTheRange) {
    struct Case {
        SliderKey key;
        int value, expected;
    };
    const Case cases[] = {
        {SliderKey::StepUp, 75, 76},   {SliderKey::StepDown, 20, 20}, {SliderKey::PageUp, 95, 100},
        {SliderKey::PageDown, 75, 65}, {SliderKey::Home, 75, 20},     {SliderKey::End, 75, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        EXPECT_EQ(SliderValueForKey(c.key, c.value, 20, 100), c.expected);
    }
}
