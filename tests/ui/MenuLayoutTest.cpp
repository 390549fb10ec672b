#include <gtest/gtest.h>

#include "ui/MenuLayout.h"

const ScreenRect kWork{0, 0, 1920, 1040};

TEST(MenuLayout, RowsAndWidth) {
    const std::vector<MenuRow> rows{{false, true, 40}, {false, true, 80}, {true, true, 0}, {false, false, 60}};
    const TierLayout layout = LayOutTier(rows, DpiScale());
    EXPECT_EQ(layout.height, 8 + 3 * 28 + 9);  // no space below the last row
    EXPECT_EQ(layout.width, 160);              // narrow labels still get 100 px
    EXPECT_EQ(layout.rows[1].item, (ScreenRect{0, 36, 160, 64}));
    EXPECT_EQ(layout.rows[1].text, (ScreenRect{30, 36, 130, 64}));
    EXPECT_EQ(layout.rows[1].check, (ScreenRect{8, 42, 24, 58}));
    EXPECT_TRUE(layout.rows[2].check.empty());
    EXPECT_EQ(LayOutTier({{false, true, 250}}, DpiScale()).width, 310);
    const TierLayout empty = LayOutTier({}, DpiScale());
    EXPECT_EQ(empty.width, 160);
    EXPECT_EQ(empty.height, 8);

    struct Case {
        const char* name;
        int x, y, expected;
    };
    const Case hits[] = {
        {"top margin", 50, 7, -1},        {"first row", 50, 8, 0},         {"second row's last pixel", 159, 63, 1},
        {"separator", 50, 70, -1},        {"disabled row", 50, 80, -1},    {"right of the tier", 160, 20, -1},
        {"left of the tier", -1, 20, -1}, {"below the tier", 50, 101, -1},
    };
    for (const Case& c : hits) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HitTestTier(layout, rows, c.x, c.y), c.expected);
    }

    // At 150 % every length grows, rounded as the platform rounds (13.5 px becomes 14); label widths arrive
    // measured at that scale.
    const TierLayout scaled = LayOutTier(rows, DpiScale(144));
    EXPECT_EQ(scaled.height, 12 + 3 * 42 + 14);
    EXPECT_EQ(scaled.width, 240);
    EXPECT_EQ(scaled.rows[1].item, (ScreenRect{0, 54, 240, 96}));
    EXPECT_EQ(scaled.rows[1].text, (ScreenRect{45, 54, 195, 96}));
    EXPECT_EQ(scaled.rows[1].check, (ScreenRect{12, 63, 36, 87}));
}

TEST(MenuLayout, TiersStayInsideTheWorkArea) {
    EXPECT_TRUE(RootOpensLeft(1400, kWork));  // 1400 > 1920 * 7 / 10 = 1344
    EXPECT_FALSE(RootOpensLeft(1344, kWork));
    struct Case {
        const char* name;
        int x, y, width, height;
        bool opensLeft;
        TierPlacement expected;
    };
    const Case cases[] = {
        {"rightwards with room", 100, 100, 160, 101, false, {100, 100, false}},
        {"leftwards with room", 1400, 100, 160, 101, true, {1240, 100, true}},
        {"no room on the right turns left", 1800, 100, 160, 101, false, {1640, 100, true}},
        {"no room on the left turns right", 100, 100, 160, 101, true, {100, 100, false}},
        {"past the bottom: bottom 28 px below the anchor", 100, 1000, 160, 101, false, {100, 927, false}},
        {"too tall to lift: 5 px above the bottom", 100, 1000, 160, 1030, false, {100, 5, false}},
        {"taller than the work area stays at its top", 100, 1000, 160, 1100, false, {100, 0, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TierPlacement p = PlaceTier(c.x, c.y, c.width, c.height, c.opensLeft, kWork, DpiScale());
        EXPECT_EQ(p.left, c.expected.left);
        EXPECT_EQ(p.top, c.expected.top);
        EXPECT_EQ(p.opensLeft, c.expected.opensLeft);
    }
    // Lifted at 200 %: the tier's bottom meets the anchor row's bottom, 56 px below the anchor.
    EXPECT_EQ(PlaceTier(100, 1000, 320, 202, false, kWork, DpiScale(192)).top, 1000 - 202 + 56);
    EXPECT_FALSE(SubmenuOpensLeft(false, 1500, 1660, 160, kWork));
    EXPECT_TRUE(SubmenuOpensLeft(false, 1600, 1760, 200, kWork));
    EXPECT_TRUE(SubmenuOpensLeft(true, 400, 560, 160, kWork));
    EXPECT_FALSE(SubmenuOpensLeft(true, 100, 260, 160, kWork));
}
