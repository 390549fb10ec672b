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
    const std::tuple<int, int, int> cases[] = {{0, 0, 0},    {99, 27, 0},  {50, 28, 1},   {50, 83, 2},
                                               {50, 84, -1}, {-1, 10, -1}, {100, 10, -1}, {10, -1, -1}};
    for (const auto& [x, y, index] : cases) EXPECT_EQ(list.IndexAt(x, y, 100, 28), index) << x << "," << y;
}

// Never shrunk: a list taller than the work area starts at its top.
TEST(ComboList, DropDownOpensBelowTheControlInsideTheWorkArea) {
    const ScreenRect work{0, 0, 1280, 1000};
    EXPECT_EQ(PlaceDropDown({100, 50, 300, 80}, 280, work), (ScreenRect{100, 80, 300, 360}));
    EXPECT_EQ(PlaceDropDown({1200, 900, 1400, 930}, 280, work), (ScreenRect{1080, 720, 1280, 1000}));
    EXPECT_EQ(PlaceDropDown({100, 50, 300, 80}, 1400, work), (ScreenRect{100, 0, 300, 1400}));
}
