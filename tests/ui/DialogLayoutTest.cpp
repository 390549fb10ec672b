#include <gtest/gtest.h>

#include "ui/DialogLayout.h"

TEST(DialogLayout, ConfirmAndNotificationSizes) {
    const DpiScale at100, at150(144);
    // At 150 % the margins, the minimum width and the button room grow; measured text comes in scaled.
    const std::tuple<const char*, DialogSize, int, int> cases[] = {
        {"short question keeps the 200 px minimum", ConfirmClientSize(60, 17, 22, 18, at100), 200, 105},
        {"wide buttons set the width", ConfirmClientSize(60, 17, 60, 50, at100), 261, 105},
        {"wrapped message sets the width", ConfirmClientSize(350, 51, 22, 18, at100), 390, 139},
        {"notification without title", NotificationClientSize(120, 17, 300, 17, false, at100), 200, 102},
        {"a title widens and adds a line", NotificationClientSize(120, 17, 300, 17, true, at100), 340, 127},
        {"150 %: the minimum width is 300", ConfirmClientSize(90, 26, 33, 27, at150), 300, 158},
        {"150 %: a wide title", NotificationClientSize(180, 26, 450, 26, true, at150), 510, 192},
    };
    for (const auto& [name, actual, width, height] : cases)
        EXPECT_EQ(std::pair(actual.width, actual.height), std::pair(width, height)) << name;
}

TEST(DialogLayout, CentresOnAnArea) {
    EXPECT_EQ(CentreOn({0, 0, 1280, 984}, 201, 100), (ScreenRect{539, 442, 740, 542}));
    EXPECT_EQ(CentreOn({1100, 900, 1550, 1600}, 700, 400), (ScreenRect{975, 1050, 1675, 1450}));
}
