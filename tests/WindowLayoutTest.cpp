#include <gtest/gtest.h>

#include <climits>

#include "InitialWindowRect.h"
#include "MainLayout.h"
#include "MonitorClamp.h"

// The settings file may hold any int: the extremes must clamp like any other rectangle, without overflow.
TEST(MonitorClamp, ShrinksToTheMonitorThenMovesInside) {
    struct Case {
        const char* name;
        ScreenRect window, expected;
    };
    const ScreenRect monitor{-1920, 0, 0, 1080};
    const Case cases[] = {
        {"inside: unchanged", {-1800, 100, -1350, 800}, {-1800, 100, -1350, 800}},
        {"past the right edge: moved in", {-200, 100, 250, 800}, {-450, 100, 0, 800}},
        {"larger: shrunk, top left kept on screen", {-2000, -50, 500, 2000}, {-1920, 0, 0, 1080}},
        {"the whole int range", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {-1920, 0, 0, 1080}},
        {"at the top of the range", {INT_MAX - 450, INT_MAX - 700, INT_MAX, INT_MAX}, {-450, 380, 0, 1080}},
        {"at the bottom of the range", {INT_MIN, INT_MIN, INT_MIN + 450, INT_MIN + 700}, {-1920, 0, -1470, 700}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ClampRectToMonitor(c.window, monitor), c.expected);
    }
}

TEST(InitialWindowRect, ScalesOnlyTheDefaultThenClamps) {
    struct Case {
        const char* name;
        ScreenRect stored;
        bool saved;
        int dpi;
        ScreenRect expected;
    };
    const ScreenRect monitor{0, 0, 2560, 1440};
    const ScreenRect byDefault{100, 100, 550, 800};
    const Case cases[] = {
        {"default at 96 dpi: as written", byDefault, false, 96, byDefault},
        {"default at 144 dpi: half as large again", byDefault, false, 144, {150, 150, 825, 1200}},
        {"default at 192 dpi: twice, moved up onto the monitor", byDefault, false, 192, {200, 40, 1100, 1440}},
        {"saved at 192 dpi: as saved", {300, 200, 750, 900}, true, 192, {300, 200, 750, 900}},
        {"saved past the right edge at 144 dpi: moved in", {2400, 100, 2850, 800}, true, 144, {2110, 100, 2560, 800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(InitialWindowRect(c.stored, c.saved, DpiScale(c.dpi), monitor), c.expected);
    }
}

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
