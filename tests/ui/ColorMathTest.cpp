#include <gtest/gtest.h>

#include "ui/ColorMath.h"

TEST(ColorMath, AdjustAndBlendClampEachChannel) {
    struct Case {
        const char* name;
        Color actual;
        Color expected;
    };
    const Case cases[] = {
        {"lightening clamps each channel on its own", AdjustColor(Rgb(250, 100, 3), 10), Rgb(255, 110, 13)},
        {"darkening clamps each channel on its own", AdjustColor(Rgb(5, 70, 250), -10), Rgb(0, 60, 240)},
        {"blend 0 is the first", BlendColor(Rgb(10, 20, 30), Rgb(200, 100, 0), 0), Rgb(10, 20, 30)},
        {"blend 255 is the second", BlendColor(Rgb(10, 20, 30), Rgb(200, 100, 0), 255), Rgb(200, 100, 0)},
        {"blend 128 is half way", BlendColor(Rgb(0, 0, 0), Rgb(255, 255, 255), 128), Rgb(128, 128, 128)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual, c.expected);
    }
    EXPECT_EQ(OpaqueArgb(Rgb(1, 2, 3)), 0xFF010203u);
}
