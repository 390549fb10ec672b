#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "MainLayout.h"

static ScreenRect rect(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// The default window's client area: 450 x 700 less the frame, say 434 x 661.
TEST(MainLayout, NormalActiveAndClickThrough) {
    const int w = 434, h = 661;
    const MainLayout idle = ComputeMainLayout(w, h, false, false, DpiScale());
    EXPECT_EQ(idle.combo.bounds, rect(10, 10, 314, 28));
    EXPECT_EQ(idle.countdown.bounds, rect(324, 10, 100, 28));
    EXPECT_EQ(idle.cacheAge.bounds, rect(10, 43, 414, 20));
    EXPECT_EQ(idle.list.bounds, rect(10, 68, 414, 553));
    EXPECT_EQ(idle.status.bounds, rect(10, 636, 414, 20));
    EXPECT_TRUE(idle.combo.shown && idle.status.shown && idle.list.shown && idle.cacheAge.shown);
    EXPECT_FALSE(idle.bossTitle.shown || idle.opacitySlider.shown || idle.bossMenuButton.shown);

    const MainLayout active = ComputeMainLayout(w, h, false, true, DpiScale());
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

    const MainLayout through = ComputeMainLayout(450, 700, true, true, DpiScale());
    EXPECT_EQ(through.bossTitle.bounds, rect(0, 0, 350, 30));
    EXPECT_TRUE(through.bossTitle.shown);
    EXPECT_EQ(through.combo.bounds, through.bossTitle.bounds);
    EXPECT_FALSE(through.combo.shown || through.status.shown || through.opacitySlider.shown);
    EXPECT_FALSE(through.status.placed);
    EXPECT_EQ(through.countdown.bounds, rect(350, 0, 100, 30));
    EXPECT_EQ(through.cacheAge.bounds, rect(0, 30, 450, 20));
    EXPECT_EQ(through.list.bounds, rect(0, 50, 450, 650));
}

// At every display scale the window is the 96 dpi one made larger: each control's edges lie within
// two pixels of its 96 dpi edges times the scale, and the panel's rows still stack without touching.
TEST(MainLayout, EveryScaleIsThe96DpiLayoutMadeLarger) {
    const auto slots = [](const MainLayout& l) {
        return std::vector<MainLayout::Slot>{l.combo,
                                             l.list,
                                             l.status,
                                             l.bossTitle,
                                             l.cacheAge,
                                             l.countdown,
                                             l.opacityCaption,
                                             l.opacitySlider,
                                             l.opacityValue,
                                             l.scaleCaption,
                                             l.scaleSlider,
                                             l.scaleValue,
                                             l.clickThroughButton,
                                             l.visibilityButton,
                                             l.bossMenuButton};
    };
    for (const int dpi : {120, 144, 192}) {
        for (const bool clickThrough : {false, true}) {
            for (const bool active : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << dpi << " dpi, click-through " << clickThrough << ", active " << active);
                const DpiScale scale(dpi);
                const auto base = slots(ComputeMainLayout(434, 661, clickThrough, active, DpiScale()));
                const MainLayout layout = ComputeMainLayout(scale.px(434), scale.px(661), clickThrough, active, scale);
                const auto scaled = slots(layout);
                for (size_t i = 0; i < base.size(); ++i) {
                    EXPECT_EQ(scaled[i].shown, base[i].shown) << i;
                    if (!base[i].placed) continue;
                    EXPECT_LE(std::abs(scaled[i].bounds.left - scale.px(base[i].bounds.left)), 2) << i;
                    EXPECT_LE(std::abs(scaled[i].bounds.top - scale.px(base[i].bounds.top)), 2) << i;
                    EXPECT_LE(std::abs(scaled[i].bounds.right - scale.px(base[i].bounds.right)), 2) << i;
                    EXPECT_LE(std::abs(scaled[i].bounds.bottom - scale.px(base[i].bounds.bottom)), 2) << i;
                }
                if (!active || clickThrough) continue;
                EXPECT_LE(layout.list.bounds.bottom, layout.opacityCaption.bounds.top);
                EXPECT_LE(layout.opacitySlider.bounds.bottom, layout.scaleSlider.bounds.top);
                EXPECT_LE(layout.scaleSlider.bounds.bottom, layout.visibilityButton.bounds.top);
                EXPECT_LE(layout.visibilityButton.bounds.bottom, layout.clickThroughButton.bounds.top);
                EXPECT_LE(layout.clickThroughButton.bounds.bottom, layout.bossMenuButton.bounds.top);
                EXPECT_LE(layout.bossMenuButton.bounds.bottom, layout.status.bounds.top);
            }
        }
    }
}
