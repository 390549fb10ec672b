#include <gtest/gtest.h>

#include <utility>

#include "net/UtcTimestamp.h"

TEST(UtcTimestamp, ReadsTrackerTimesAsUtc) {
    const std::pair<const char*, int64_t> cases[] = {
        {"2025-03-01 12:00:00.000Z", 1740830400},
        {"2025-03-01T12:00:00+05:00", 1740830400},
        {"1969-12-31 23:59:59", -1},
        {"2024-02-29 23:59:59", 1709251199},
        {"2000-03-01 00:00:00", 951868800},
        {"1900-03-01 00:00:00", -2203891200},
        // Out-of-range fields roll over as timegm does; a year past what the calendar record holds gives -1.
        {"2024-13-01 00:00:00", 1735689600},
        {"2025-03-00 24:-1:60", 1740787200},
        {"2147483647-2147483647-01 00:00:00", -1},
        {"-2147483648--2147483647-01 00:00:00", -1}};
    for (const auto& [text, seconds] : cases) EXPECT_EQ(parseUtcTimestamp(text), seconds) << text;
    // Fewer than six numeric fields, or a field that does not fit.
    for (const char* text : {"", "not a time", "2025-03-01", "2025-03-01T12:00", "2025-03-01T12.00.00",
                             "2025/03/01 12:00:00", "2025-03-01T12:00:x", "2025-03-01T12:00:99999999999"})
        EXPECT_EQ(parseUtcTimestamp(text), 0) << text;
}
