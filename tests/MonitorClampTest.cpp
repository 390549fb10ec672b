#include <gtest/gtest.h>

#include <climits>

#include "MonitorClamp.h"

// The settings file may hold any int: the extremes must clamp like any other rectangle, without overflow.
TEST(MonitorClamp, ShrinksToTheMonitorThenMovesInside) {
    struct Case {
        const char* name;
        ScreenRect window;
        ScreenRect expected;
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
