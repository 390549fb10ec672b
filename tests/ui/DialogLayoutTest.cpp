#include <gtest/gtest.h>

#include "ui/DialogLayout.h"

TEST(DialogLayout, ConfirmAndNotificationSizes) {
    struct Case {
        const char* name;
        DialogSize actual;
        DialogSize expected;
    };
    const Case cases[] = {
        {"short question keeps the 200 px minimum", ConfirmClientSize(60, 17, 22, 18, DpiScale()), {200, 105}},
        {"wide buttons set the width", ConfirmClientSize(60, 17, 60, 50, DpiScale()), {261, 105}},
        {"wrapped message sets the width", ConfirmClientSize(350, 51, 22, 18, DpiScale()), {390, 139}},
        {"notification without title", NotificationClientSize(120, 17, 300, 17, false, DpiScale()), {200, 102}},
        {"notification title widens and adds a line",
         NotificationClientSize(120, 17, 300, 17, true, DpiScale()),
         {340, 127}},
        // At 150 % the margins, the minimum width and the button room grow; measured text comes in scaled.
        {"150 %: the minimum width is 300", ConfirmClientSize(90, 26, 33, 27, DpiScale(144)), {300, 158}},
        {"150 %: a wide title", NotificationClientSize(180, 26, 450, 26, true, DpiScale(144)), {510, 192}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.actual.width, c.expected.width);
        EXPECT_EQ(c.actual.height, c.expected.height);
    }
}

TEST(DialogLayout, CentresOnAnArea) {
    EXPECT_EQ(CentreOn({0, 0, 1280, 984}, 201, 100), (ScreenRect{539, 442, 740, 542}));
    EXPECT_EQ(CentreOn({1100, 900, 1550, 1600}, 700, 400), (ScreenRect{975, 1050, 1675, 1450}));
}
