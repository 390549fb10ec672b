#include <gtest/gtest.h>

#include "DiscIcon.h"

TEST(DiscIcon, FadesFromFullColourToSeventyPercentAtTheRim) {
    struct Case {
        const char* name;
        int x, y, size;
        uint32_t color;
        bool opaque;
        uint32_t expected;
    };
    // The rim is 14/32 of the size from the centre: drawn at each size rather than scaled.
    const Case cases[] = {
        {"centre keeps the colour", 16, 16, 32, 0x00FF9764, true, 0x00FF9764},
        {"rim is 70 %, truncated", 30, 16, 32, 0x00FFFFFF, true, 0x00B2B2B2},
        {"just outside the rim", 16, 1, 32, 0x00FFFFFF, false, 0},
        {"diagonal inside", 25, 26, 32, 0x000000FF, true, 0x000000B8},
        {"diagonal outside", 26, 26, 32, 0x000000FF, false, 0},
        {"48 px: the rim 21 px out", 45, 24, 48, 0x00FFFFFF, true, 0x00B2B2B2},
        {"48 px: just outside it", 46, 24, 48, 0x00FFFFFF, false, 0},
        {"16 px: the rim 7 px out", 8, 1, 16, 0x00FFFFFF, true, 0x00B2B2B2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DiscIconPixel p = discIconPixel(c.x, c.y, c.size, c.color);
        EXPECT_EQ(p.opaque, c.opaque);
        EXPECT_EQ(p.color, c.expected);
    }
}
