#include <gtest/gtest.h>

#include "Settings.h"

// The opacity slider and a value read from the file go through the same clamp; its ends are kept.
TEST(Settings, OpacityStaysWithinItsRange) {
    Settings settings(L"");
    for (const auto& [asked, kept] : {std::pair{9, 10}, {10, 10}, {100, 100}, {101, 100}}) {
        settings.SetOpacity(asked);
        EXPECT_EQ(settings.Opacity, kept) << asked;
    }
}
