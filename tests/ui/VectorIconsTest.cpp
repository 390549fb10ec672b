#include <gtest/gtest.h>

#include "ui/VectorIcons.h"

TEST(VectorIcons, FitsBoundsCentredWithTwoPixelsFree) {
    struct Case {
        const char* name;
        FloatRect bounds;
        ScreenRect target;
        float scale;
        float left, top;  // where the bounds' top-left corner lands
    };
    const Case cases[] = {
        // Chevron down spans (6,9)-(18,15): the height limit 12/6 loses to the width limit 12/12.
        {"chevron in 16 x 16", {6, 9, 12, 6}, {0, 0, 16, 16}, 1.0f, 2, 5},
        {"check in an offset 16 x 16", {5, 7, 14, 11}, {10, 6, 26, 22}, 12.0f / 14, 12, 9.2857f},
        {"tiny target keeps a scale of one pixel", {0, 0, 24, 24}, {0, 0, 3, 3}, 1.0f / 24, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IconFit fit = FitIconBounds(c.bounds, c.target);
        ASSERT_TRUE(fit.drawable);
        EXPECT_NEAR(fit.scale, c.scale, 1e-4);
        EXPECT_NEAR(c.bounds.x * fit.scale + fit.offsetX, c.left, 1e-3);
        EXPECT_NEAR(c.bounds.y * fit.scale + fit.offsetY, c.top, 1e-3);
    }
    EXPECT_FALSE(FitIconBounds({0, 0, 0, 5}, {0, 0, 16, 16}).drawable);
    EXPECT_TRUE(IconFigures(VectorIconNone).empty() && IconFigures(VectorIconCheck + 1).empty());
}
