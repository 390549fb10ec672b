#include <gtest/gtest.h>

#include "MainLayout.h"

static ScreenRect rect(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// The default window's client area: 450 x 700 less the frame, say 434 x 661.
TEST(MainLayout, NormalActiveAndClickThrough) {
    const int w = 434, h = 661;
    const MainLayout idle = ComputeMainLayout(w, h, false, false);
    EXPECT_EQ(idle.combo.bounds, rect(10, 10, 314, 28));
    EXPECT_EQ(idle.countdown.bounds, rect(324, 10, 100, 28));
    EXPECT_EQ(idle.cacheAge.bounds, rect(10, 43, 414, 20));
    EXPECT_EQ(idle.list.bounds, rect(10, 68, 414, 553));
    EXPECT_EQ(idle.status.bounds, rect(10, 636, 414, 20));
    EXPECT_TRUE(idle.combo.shown && idle.status.shown && idle.list.shown && idle.cacheAge.shown);
    EXPECT_FALSE(idle.bossTitle.shown || idle.opacitySlider.shown || idle.bossMenuButton.shown);

    const MainLayout active = ComputeMainLayout(w, h, false, true);
    EXPECT_EQ(active.list.bounds, rect(10, 68, 414, 403));
    EXPECT_EQ(active.opacityCaption.bounds, rect(10, 481, 140, 25));
    EXPECT_EQ(active.opacitySlider.bounds, rect(145, 481, 224, 25));
    EXPECT_EQ(active.opacityValue.bounds, rect(374, 481, 50, 25));
    EXPECT_EQ(active.scaleSlider.bounds, rect(145, 511, 224, 25));
    EXPECT_EQ(active.visibilityButton.bounds, rect(10, 541, 414, 25));
    EXPECT_EQ(active.clickThroughButton.bounds, rect(10, 571, 414, 25));
    EXPECT_EQ(active.bossMenuButton.bounds, rect(10, 601, 414, 25));
    // The panel ends above the status line, which stays where it was.
    EXPECT_LE(active.bossMenuButton.bounds.bottom, active.status.bounds.top);
    EXPECT_EQ(active.status.bounds, idle.status.bounds);

    const MainLayout through = ComputeMainLayout(450, 700, true, true);
    EXPECT_EQ(through.bossTitle.bounds, rect(0, 0, 350, 30));
    EXPECT_TRUE(through.bossTitle.shown);
    EXPECT_EQ(through.combo.bounds, through.bossTitle.bounds);
    EXPECT_FALSE(through.combo.shown || through.status.shown || through.opacitySlider.shown);
    EXPECT_FALSE(through.status.placed);
    EXPECT_EQ(through.countdown.bounds, rect(350, 0, 100, 30));
    EXPECT_EQ(through.cacheAge.bounds, rect(0, 30, 450, 20));
    EXPECT_EQ(through.list.bounds, rect(0, 50, 450, 650));
}
