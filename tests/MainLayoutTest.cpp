#include <gtest/gtest.h>

#include <cstdlib>

#include "MainLayout.h"

namespace {

using SlotOf = MainLayout::Slot MainLayout::*;

ScreenRect rect(int x, int y, int w, int h) {
    return {x, y, x + w, y + h};
}

// The default window's client area: 450 x 700 less the frame, say 434 x 661.
constexpr int kWidth = 434, kHeight = 661;

}  // namespace

// The controls at the window's edges and those each mode adds or hides; the scale test below holds the rest.
TEST(MainLayout, EachModePlacesItsControls) {
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

// At every display scale the window is the 96 dpi one made larger: each control's edges lie within
// two pixels of its 96 dpi edges times the scale, and the panel's rows still stack without touching.
TEST(MainLayout, EveryScaleIsThe96DpiLayoutMadeLarger) {
    using L = MainLayout;
    const SlotOf slots[] = {
        &L::combo,       &L::list,           &L::status,           &L::bossTitle,          &L::cacheAge,
        &L::countdown,   &L::opacityCaption, &L::opacitySlider,    &L::opacityValue,       &L::scaleCaption,
        &L::scaleSlider, &L::scaleValue,     &L::visibilityButton, &L::clickThroughButton, &L::bossMenuButton};
    // Top to bottom in the active window.
    const SlotOf stack[] = {
        &L::list,           &L::opacitySlider, &L::scaleSlider, &L::visibilityButton, &L::clickThroughButton,
        &L::bossMenuButton, &L::status};
    for (const int dpi : {120, 144, 192}) {
        for (const bool clickThrough : {false, true}) {
            for (const bool active : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << dpi << " dpi, click-through " << clickThrough << ", active " << active);
                const DpiScale scale(dpi);
                const MainLayout base = ComputeMainLayout(kWidth, kHeight, clickThrough, active, DpiScale());
                const MainLayout layout =
                    ComputeMainLayout(scale.px(kWidth), scale.px(kHeight), clickThrough, active, scale);
                for (const SlotOf slot : slots) {
                    const ScreenRect& was = (base.*slot).bounds;
                    const ScreenRect& is = (layout.*slot).bounds;
                    EXPECT_EQ((layout.*slot).shown, (base.*slot).shown);
                    if (!(base.*slot).placed) continue;
                    for (const auto& [scaled, at96] : {std::pair{is.left, was.left},
                                                       {is.top, was.top},
                                                       {is.right, was.right},
                                                       {is.bottom, was.bottom}})
                        EXPECT_LE(std::abs(scaled - scale.px(at96)), 2);
                }
                if (!active || clickThrough) continue;
                for (size_t i = 0; i + 1 < std::size(stack); ++i)
                    EXPECT_LE((layout.*stack[i]).bounds.bottom, (layout.*stack[i + 1]).bounds.top) << i;
            }
        }
    }
}
