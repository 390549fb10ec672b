#include <gtest/gtest.h>

#include "DiscIcon.h"

TEST(DiscIcon, FadesFromFullColourToSeventyPercentAtTheRim) {
    struct Case {
        const char* name;
        int x, y;
        uint32_t color;
        bool opaque;
        uint32_t expected;
    };
    const Case cases[] = {
        {"centre keeps the colour", 16, 16, 0x00FF9764, true, 0x00FF9764},
        {"rim is 70 %, truncated", 30, 16, 0x00FFFFFF, true, 0x00B2B2B2},
        {"half way", 23, 16, 0x000000FF, true, 0x000000EB},
        {"just outside the rim", 16, 1, 0x00FFFFFF, false, 0},
        {"corner", 0, 0, 0x00FFFFFF, false, 0},
        {"diagonal inside", 25, 26, 0x000000FF, true, 0x000000B8},
        {"diagonal outside", 26, 26, 0x000000FF, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DiscIconPixel p = discIconPixel(c.x, c.y, 32, c.color);
        EXPECT_EQ(p.opaque, c.opaque);
        EXPECT_EQ(p.color, c.expected);
    }
    // Drawn at each size rather than scaled: at 48 px the rim is 21 px from the centre at (24, 24).
    EXPECT_TRUE(discIconPixel(45, 24, 48, 0x00FFFFFF).opaque);
    EXPECT_FALSE(discIconPixel(46, 24, 48, 0x00FFFFFF).opaque);
    EXPECT_EQ(discIconPixel(24, 24, 48, 0x00FF9764).color, 0x00FF9764u);
    EXPECT_FALSE(discIconPixel(0, 0, 16, 0x00FFFFFF).opaque);
    EXPECT_TRUE(discIconPixel(8, 1, 16, 0x00FFFFFF).opaque);
}
