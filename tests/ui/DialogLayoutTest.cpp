#include <gtest/gtest.h>

#include <vector>

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

TEST(DialogLayout, ButtonsSitCentredAboveTheBottom) {
    // 22 + 48 and 18 + 48 wide with a 15 px gap in 200 px: (200 - 66 - 70 - 15) / 2 = 24.
    const ConfirmButtons pair = PlaceConfirmButtons(200, 105, 22, 18, DpiScale());
    EXPECT_EQ(pair.yes, (ScreenRect{24, 57, 94, 85}));
    EXPECT_EQ(pair.no, (ScreenRect{109, 57, 175, 85}));
    EXPECT_EQ(CentredButton(200, 102, 80, 28, 43), (ScreenRect{60, 59, 140, 87}));
    // The same pair at 200 %: every gap and height doubles (the halving rounds the other way).
    const ConfirmButtons doubled = PlaceConfirmButtons(400, 210, 44, 36, DpiScale(192));
    EXPECT_EQ(doubled.yes, (ScreenRect{49, 114, 189, 170}));
    EXPECT_EQ(doubled.no, (ScreenRect{219, 114, 351, 170}));
}

TEST(DialogLayout, HelpWidensInStepsUntilTheTextFits) {
    struct Case {
        const char* name;
        int workWidth, workHeight;
        int heightAt700, heightAt780, heightAt860;
        DialogSize expected;
        std::vector<int> wrapWidths;
    };
    const Case cases[] = {
        {"fits at once", 1280, 1024, 400, 0, 0, {700, 472}, {672}},
        {"fits after one step", 1280, 1024, 900, 850, 0, {780, 922}, {672, 752}},
        // 1024 wide: the widest allowed is 900, so 940 is never tried and the text is cut.
        {"never fits: cut at the work area", 1024, 700, 5000, 4000, 3000, {860, 620}, {672, 752, 832}},
        {"narrow work area starts below 700", 560, 500, 0, 0, 5000, {520, 420}, {492}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> asked;
        const DialogSize size = HelpClientSize(c.workWidth, c.workHeight, DpiScale(), [&](int wrapWidth) {
            asked.push_back(wrapWidth);
            return wrapWidth == 672 ? c.heightAt700 : wrapWidth == 752 ? c.heightAt780 : c.heightAt860;
        });
        EXPECT_EQ(size.width, c.expected.width);
        EXPECT_EQ(size.height, c.expected.height);
        EXPECT_EQ(asked, c.wrapWidths);
    }
}

TEST(DialogLayout, CentresOnAnArea) {
    EXPECT_EQ(CentreOn({0, 0, 1280, 984}, 201, 100), (ScreenRect{539, 442, 740, 542}));
    EXPECT_EQ(CentreOn({1100, 900, 1550, 1600}, 700, 400), (ScreenRect{975, 1050, 1675, 1450}));
}
