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
    // The text scale multiplies on top of the display scale.
    struct Case {
        int percent, dpi, rowHeight;
    };
    for (const Case& c : {Case{100, 96, 40}, Case{150, 96, 60}, Case{200, 96, 80}, Case{2, 96, 1}, Case{0, 96, 1},
                          Case{-50, 96, 1}, Case{INT_MAX, 96, 858993458}, Case{100, 120, 50}, Case{150, 144, 90},
                          Case{200, 192, 160}, Case{INT_MAX, 192, 1717986917}}) {
        EXPECT_EQ(RowHeightForTextScale(c.percent, DpiScale(c.dpi)), c.rowHeight) << c.percent << " at " << c.dpi;
    }
    // Text scale 150 in a 300-pixel list: five whole rows, six drawn.
    const ListScroll scroll = listOf(20, RowHeightForTextScale(150, DpiScale()), 200, 300);
    EXPECT_EQ(scroll.visibleRows(), 5);
    EXPECT_EQ(scroll.drawnEnd(), 6);
    EXPECT_EQ(listOf(3, 60, 200, 300).drawnEnd(), 3);
    // A row height of 0 would divide by zero.
    ListScroll zero = listOf(10, 0, 200, 300);
    EXPECT_EQ(zero.rowHeight(), 1);
    EXPECT_EQ(zero.visibleRows(), 300);
}

TEST(ListScroll, PositionStaysWithinRange) {
    // 10 rows, 4 visible, at 6: 5 rows move it to 1, 3 rows to 0.
    ListScroll scroll = listOf(10, 25, 200, 100, 6);
    EXPECT_EQ(scroll.position(), 6);
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
    // Never shorter than 15 pixels.
    EXPECT_EQ(*listOf(1000, 25, 200, 100).ThumbRect(), (ScreenRect{190, 2, 198, 13}));

    const ListScroll scroll = listOf(20, 25, 200, 100);
    EXPECT_TRUE(scroll.InStrip(188, 0));
    EXPECT_TRUE(scroll.InStrip(199, 99));
    EXPECT_FALSE(scroll.InStrip(187, 50));
    EXPECT_FALSE(scroll.InStrip(200, 50));
    EXPECT_FALSE(scroll.InStrip(190, 100));

    // At 200 %: a 24 px strip, the thumb 4 px in and never shorter than 30 px.
    EXPECT_EQ(*listOf(1000, 50, 400, 200, 0, 192).ThumbRect(), (ScreenRect{380, 4, 396, 26}));
    EXPECT_TRUE(listOf(20, 50, 400, 200, 0, 192).InStrip(376, 0));
    EXPECT_FALSE(listOf(20, 50, 400, 200, 0, 192).InStrip(375, 0));
}

TEST(ListScroll, DraggingTheThumb) {
    // 20 rows, 4 visible in 100 pixels: maximum 16, track 80 pixels.
    const ListScroll scroll = listOf(20, 25, 200, 100);
    struct Case {
        int start, dy, expected;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{0, 5, 1}, Case{0, 40, 8}, Case{0, 80, 16}, Case{0, 500, 16},
                          Case{8, -40, 0}, Case{8, -3, 8}, Case{8, -500, 0}}) {
        EXPECT_EQ(scroll.DragTarget(c.start, c.dy), c.expected) << c.start << " " << c.dy;
    }
    // Nothing to scroll: the position stays.
    EXPECT_EQ(listOf(3, 25, 200, 100).DragTarget(0, 50), 0);
}
