#include <gtest/gtest.h>

#include <tuple>

#include "MonitorClamp.h"

TEST(MonitorClamp, ShrinksThenMovesInsideTheMonitor) {
    const ScreenRect primary{0, 0, 1280, 1024};
    const ScreenRect leftOfPrimary{-1920, -200, 0, 880};
    struct Case {
        const char* name;
        ScreenRect window;
        ScreenRect monitor;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"inside stays", {100, 100, 550, 800}, primary, {100, 100, 550, 800}},
        {"larger than monitor shrinks to it", {-50, -60, 2000, 1500}, primary, {0, 0, 1280, 1024}},
        {"taller only keeps width", {100, 200, 550, 1300}, primary, {100, 0, 550, 1024}},
        {"off the left edge", {-300, 100, 150, 800}, primary, {0, 100, 450, 800}},
        {"off the top edge", {100, -500, 550, 200}, primary, {100, 0, 550, 700}},
        {"off the right edge moves back", {1000, 100, 1450, 800}, primary, {830, 100, 1280, 800}},
        {"off the bottom edge moves back", {100, 600, 550, 1300}, primary, {100, 324, 550, 1024}},
        {"monitor at negative coordinates", {-2500, 100, -2050, 800}, leftOfPrimary, {-1920, 100, -1470, 800}},
        {"negative monitor, past its bottom", {-1000, 700, -550, 1400}, leftOfPrimary, {-1000, 180, -550, 880}},
        {"whole monitor may be covered", {0, 0, 1280, 1024}, primary, {0, 0, 1280, 1024}},
    };
    const auto sides = [](const ScreenRect& r) { return std::tuple(r.left, r.top, r.right, r.bottom); };
    for (const Case& c : cases) EXPECT_EQ(sides(ClampRectToMonitor(c.window, c.monitor)), sides(c.expected)) << c.name;
}
