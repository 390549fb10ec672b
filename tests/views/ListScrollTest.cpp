#include <gtest/gtest.h>

#include <climits>

#include "views/ListScroll.h"

static ListScroll listOf(int rows, int rowHeight, int width, int height, int position = 0, int dpi = 96) {
    ListScroll scroll;
    scroll.SetScale(DpiScale(dpi));
    scroll.SetClientSize(width, height);
    scroll.SetRowHeight(rowHeight);
    scroll.SetRowCount(rows);
    scroll.ScrollTo(position);
    return scroll;
}

TEST(ListScroll, RowHeightAndVisibleRows) {
    // Text scale percent, dpi, row height: the text scale multiplies on top of the display scale.
    const std::tuple<int, int, int> cases[] = {{100, 96, 40}, {150, 96, 60},  {2, 96, 1},
                                               {-50, 96, 1},  {100, 120, 50}, {150, 144, 90}};
    for (const auto& [percent, dpi, rowHeight] : cases)
        EXPECT_EQ(RowHeightForTextScale(percent, DpiScale(dpi)), rowHeight) << percent << " at " << dpi;
    EXPECT_EQ(RowHeightForTextScale(INT_MAX, DpiScale()), 858993458);
    EXPECT_EQ(RowHeightForTextScale(INT_MAX, DpiScale(192)), 1717986917);
    // Text scale 150 in a 300-pixel list: five whole rows, six drawn.
    const ListScroll scroll = listOf(20, RowHeightForTextScale(150, DpiScale()), 200, 300);
    EXPECT_EQ(scroll.visibleRows(), 5);
    EXPECT_EQ(scroll.drawnEnd(), 6);
    EXPECT_EQ(listOf(3, 60, 200, 300).drawnEnd(), 3);
    const ListScroll zero = listOf(10, 0, 200, 300);  // a row height of 0 would divide by zero
    EXPECT_EQ(zero.rowHeight(), 1);
    EXPECT_EQ(zero.visibleRows(), 300);
}

TEST(ListScroll, PositionStaysWithinRange) {
    // 10 rows, 4 visible, at 6: 5 rows move it to 1, 3 rows to 0.
    ListScroll scroll = listOf(10, 25, 200, 100, 6);
    scroll.SetRowCount(5);
    EXPECT_EQ(scroll.position(), 1);
    scroll.SetRowCount(3);
    EXPECT_EQ(scroll.position(), 0);
    scroll.SetRowCount(10);
    EXPECT_FALSE(scroll.ScrollTo(-5));
    EXPECT_TRUE(scroll.ScrollTo(99));
    EXPECT_EQ(scroll.position(), 6);
    EXPECT_EQ(scroll.WheelTarget(-240), 6);
    EXPECT_EQ(scroll.WheelTarget(120), 5);
    EXPECT_EQ(scroll.WheelTarget(119), 6);  // less than a notch scrolls nothing
    EXPECT_EQ(scroll.WheelTarget(360 * 10), 0);
}

TEST(ListScroll, ThumbAndStrip) {
    EXPECT_FALSE(listOf(4, 25, 200, 100).ThumbRect());
    // 20 rows, 4 visible in 100 pixels: the thumb is 20 long, from the top at 0 and at the bottom at 16.
    EXPECT_EQ(*listOf(20, 25, 200, 100).ThumbRect(), (ScreenRect{190, 2, 198, 18}));
    EXPECT_EQ(*listOf(20, 25, 200, 100, 16).ThumbRect(), (ScreenRect{190, 82, 198, 98}));
    EXPECT_EQ(*listOf(1000, 25, 200, 100).ThumbRect(), (ScreenRect{190, 2, 198, 13}));  // never shorter than 15 px
    // At 200 %: a 24 px strip, the thumb 4 px in and never shorter than 30 px.
    EXPECT_EQ(*listOf(1000, 50, 400, 200, 0, 192).ThumbRect(), (ScreenRect{380, 4, 396, 26}));

    const ListScroll at100 = listOf(20, 25, 200, 100), at200 = listOf(20, 50, 400, 200, 0, 192);
    const std::tuple<const ListScroll*, int, int, bool> points[] = {
        {&at100, 188, 0, true},    {&at100, 199, 99, true}, {&at100, 187, 50, false}, {&at100, 200, 50, false},
        {&at100, 190, 100, false}, {&at200, 376, 0, true},  {&at200, 375, 0, false},
    };
    for (const auto& [scroll, x, y, in] : points) EXPECT_EQ(scroll->InStrip(x, y), in) << x << "," << y;
}

TEST(ListScroll, DraggingTheThumb) {
    // 20 rows, 4 visible in 100 pixels: maximum 16, track 80 pixels.
    const ListScroll scroll = listOf(20, 25, 200, 100);
    const std::tuple<int, int, int> cases[] = {{0, 0, 0},    {0, 5, 1},   {0, 40, 8}, {0, 80, 16},
                                               {0, 500, 16}, {8, -40, 0}, {8, -3, 8}, {8, -500, 0}};
    for (const auto& [start, dy, expected] : cases)
        EXPECT_EQ(scroll.DragTarget(start, dy), expected) << start << " " << dy;
    EXPECT_EQ(listOf(3, 25, 200, 100).DragTarget(0, 50), 0);  // nothing to scroll: the position stays
}
