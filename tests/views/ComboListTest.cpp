#include <gtest/gtest.h>

#include "views/ComboList.h"

TEST(ComboList, SelectionStatusAndLabels) {
    ComboList list;
    int a = 1, b = 2;
    list.Add({"Drake", 0x0000FF, &a, 0, 0});
    EXPECT_EQ(list.Add({"Wyrm", 0x00B400, &b, 3, 12}), 1);
    EXPECT_EQ(list.SelectedData(), &a);  // the first item selected itself
    EXPECT_EQ(ComboItemLabel(list.items()[0]), "Drake");
    EXPECT_EQ(ComboItemLabel(list.items()[1]), "Wyrm [3/12]");
    // Indexes out of range change nothing.
    EXPECT_FALSE(list.SetCurSel(2) || list.SetCurSel(-2) || list.SetItemStatus(2, 1, 1, 1));
    EXPECT_TRUE(list.ItemData(5) == nullptr && list.ItemData(-1) == nullptr);
    EXPECT_TRUE(list.SetCurSel(1));
    EXPECT_EQ(list.SelectedData(), &b);
    EXPECT_TRUE(list.SetItemStatus(0, 0x00B400, 1, 4));
    EXPECT_EQ(ComboItemLabel(list.items()[0]), "Drake [1/4]");
    EXPECT_EQ(list.items()[0].color, 0x00B400u);
    EXPECT_TRUE(list.SetCurSel(-1));
    EXPECT_EQ(list.SelectedData(), nullptr);
    list.Clear();
    EXPECT_TRUE(list.count() == 0 && list.selected() == -1 && list.hot() == -1);
}

TEST(ComboList, HighlightMovesWithinTheList) {
    ComboList list;
    for (const char* name : {"a", "b", "c"}) list.Add({name});
    list.SetCurSel(-1);
    list.ResetHot();
    EXPECT_TRUE(list.MoveHotUp());  // from nothing, up goes to the first
    EXPECT_EQ(list.hot(), 0);
    EXPECT_FALSE(list.MoveHotUp());
    EXPECT_TRUE(list.MoveHotDown());
    EXPECT_TRUE(list.MoveHotDown());
    EXPECT_FALSE(list.MoveHotDown());
    EXPECT_EQ(list.hot(), 2);

    // Three rows of 28 pixels in a list 100 wide.
    struct Case {
        int x, y, index;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{99, 27, 0}, Case{50, 28, 1}, Case{50, 83, 2}, Case{50, 84, -1},
                          Case{-1, 10, -1}, Case{100, 10, -1}, Case{10, -1, -1}}) {
        EXPECT_EQ(list.IndexAt(c.x, c.y, 100, 28), c.index) << c.x << "," << c.y;
    }
}

TEST(ComboList, DropDownStaysInTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 1000};
    struct Case {
        const char* name;
        ScreenRect control;
        int height;
        ScreenRect expected;
    };
    const Case cases[] = {
        {"below the control", {100, 50, 300, 80}, 280, {100, 80, 300, 360}},
        {"near the bottom: ends at the work area's bottom", {100, 900, 300, 930}, 280, {100, 720, 300, 1000}},
        {"taller than the work area: starts at its top", {100, 50, 300, 80}, 1400, {100, 0, 300, 1400}},
        {"past the right edge", {1200, 50, 1400, 80}, 100, {1080, 80, 1280, 180}},
        {"left of a work area at negative x", {-2000, 50, -1800, 80}, 100, {-1920, 80, -1720, 180}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScreenRect area = c.control.left < 0 ? ScreenRect{-1920, 0, 0, 1000} : work;
        EXPECT_EQ(PlaceDropDown(c.control, c.height, area), c.expected);
    }
}
