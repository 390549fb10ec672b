#include <gtest/gtest.h>

#include <vector>

#include "ui/FontFit.h"

TEST(FontFit, FindsTheLargestFittingHeightInFewTries) {
    struct Case {
        int lowest, highest, largestThatFits, expected;
    };
    for (const Case& c : {Case{8, 30, 17, 17}, Case{8, 30, 30, 30}, Case{8, 30, 99, 30}, Case{8, 30, 3, 8},
                          Case{8, 5, 99, 8}, Case{12, 48, 12, 12}, Case{12, 48, 47, 47}}) {
        std::vector<int> tried;
        const int found = LargestFittingHeight(c.lowest, c.highest, [&](int height) {
            tried.push_back(height);
            return height <= c.largestThatFits;
        });
        EXPECT_EQ(found, c.expected) << c.lowest << ".." << c.highest << " up to " << c.largestThatFits;
        EXPECT_LE(tried.size(), 6u);
    }
}
