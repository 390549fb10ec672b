#include <gtest/gtest.h>

#include "WideText.h"

TEST(WideText, RoundTripsNonAsciiText) {
    const std::string cases[] = {"", "plain", "Ümlaut-Boss", "\xE7\x8E\x8B\xE8\x80\x85",
                                 "emoji \xF0\x9F\x90\x89 dragon"};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    }
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x90\x89").size(), 2u);
}
