#include <gtest/gtest.h>

#include "ui/MenuLayout.h"

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
    EXPECT_EQ(std::pair(empty.width, empty.height), std::pair(160, 8));

    const std::tuple<const char*, int, int, int> hits[] = {
        {"top margin", 50, 7, -1},        {"first row", 50, 8, 0},         {"second row's last pixel", 159, 63, 1},
        {"separator", 50, 70, -1},        {"disabled row", 50, 80, -1},    {"right of the tier", 160, 20, -1},
        {"left of the tier", -1, 20, -1}, {"below the tier", 50, 101, -1},
    };
    for (const auto& [name, x, y, expected] : hits) EXPECT_EQ(HitTestTier(layout, rows, x, y), expected) << name;

    // At 150 % every length but the measured label widths grows, rounded as the platform rounds (13.5 px is 14).
    const TierLayout scaled = LayOutTier(rows, DpiScale(144));
    EXPECT_EQ(scaled.height, 12 + 3 * 42 + 14);
    EXPECT_EQ(scaled.width, 240);
    EXPECT_EQ(scaled.rows[1].item, (ScreenRect{0, 54, 240, 96}));
    EXPECT_EQ(scaled.rows[1].text, (ScreenRect{45, 54, 195, 96}));
    EXPECT_EQ(scaled.rows[1].check, (ScreenRect{12, 63, 36, 87}));
}
