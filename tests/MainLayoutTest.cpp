#include <gtest/gtest.h>

#include "MainLayout.h"

// The controls at the window's edges and those each mode adds or hides.
TEST(MainLayout, EachModePlacesItsControls) {
    using SlotOf = MainLayout::Slot MainLayout::*;
    const auto rect = [](int x, int y, int w, int h) { return ScreenRect{x, y, x + w, y + h}; };
    // The default window's client area: 450 x 700 less the frame, say 434 x 661.
    constexpr int kWidth = 434, kHeight = 661;
    struct Case {
        const char* name;
        bool clickThrough, active;
        SlotOf slot;
        ScreenRect bounds;
        bool shown;
    };
    const Case cases[] = {
        {"combo at the top left", false, false, &MainLayout::combo, rect(10, 10, 314, 28), true},
        {"countdown at its right", false, false, &MainLayout::countdown, rect(324, 10, 100, 28), true},
        {"list down to the status line", false, false, &MainLayout::list, rect(10, 68, 414, 553), true},
        {"status line at the bottom", false, false, &MainLayout::status, rect(10, 636, 414, 20), true},
        {"no panel while inactive", false, false, &MainLayout::opacitySlider, {}, false},
        {"active: the list makes room for the panel", false, true, &MainLayout::list, rect(10, 68, 414, 403), true},
        {"active: the panel's first row", false, true, &MainLayout::opacityValue, rect(374, 481, 50, 25), true},
        {"active: its last row", false, true, &MainLayout::bossMenuButton, rect(10, 601, 414, 25), true},
        {"click-through: the title", true, true, &MainLayout::bossTitle, rect(0, 0, 334, 30), true},
        {"click-through: the combo hidden under it", true, true, &MainLayout::combo, rect(0, 0, 334, 30), false},
        {"click-through: the list to the edges", true, true, &MainLayout::list, rect(0, 50, 434, 611), true},
        {"click-through: no status line", true, false, &MainLayout::status, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MainLayout::Slot slot = ComputeMainLayout(kWidth, kHeight, c.clickThrough, c.active, DpiScale()).*c.slot;
        EXPECT_EQ(slot.bounds, c.bounds);
        EXPECT_EQ(slot.shown, c.shown);
    }
}
