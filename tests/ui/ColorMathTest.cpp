#include <gtest/gtest.h>

#include "ui/ColorMath.h"

TEST(ColorMath, AdjustAndBlendClampEachChannel) {
    struct Case {
        const char* name;
        Color actual;
        Color expected;
    };
    const Case cases[] = {
        {"lighten clamps at 255", AdjustColor(Rgb(250, 250, 250), 10), Rgb(255, 255, 255)},
        {"darken clamps at 0", AdjustColor(Rgb(5, 5, 5), -10), Rgb(0, 0, 0)},
        {"channels clamp independently", AdjustColor(Rgb(250, 100, 3), 10), Rgb(255, 110, 13)},
        {"darken keeps channel positions", AdjustColor(Rgb(60, 70, 80), -6), Rgb(54, 64, 74)},
        {"blend 0 is the first", BlendColor(Rgb(10, 20, 30), Rgb(200, 100, 0), 0), Rgb(10, 20, 30)},
        {"blend 255 is the second", BlendColor(Rgb(10, 20, 30), Rgb(200, 100, 0), 255), Rgb(200, 100, 0)},
        {"black to white at 128", BlendColor(Rgb(0, 0, 0), Rgb(255, 255, 255), 128), Rgb(128, 128, 128)},
        // (0 - 255) * 128 / 255 = -128.5 rounds toward zero: 255 - 128 = 127.
        {"downward blend rounds toward zero", BlendColor(Rgb(255, 255, 255), Rgb(0, 0, 0), 128), Rgb(127, 127, 127)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
    EXPECT_EQ(OpaqueArgb(Rgb(1, 2, 3)), 0xFF010203u);
}
