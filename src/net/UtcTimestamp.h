#pragma once

#include <cstdint>
#include <string>

// Unix seconds of a tracker time such as "2025-03-01 12:00:00.000Z" or "2025-03-01T12:00:00Z", read as UTC.
// Fields beyond their range roll over into the next larger one (month 13 is January of the next year);
// a text without year, month, day, hour, minute and second gives 0, a year that cannot be represented -1.
int64_t parseUtcTimestamp(const std::string& text);

// The last second the Windows UTC break-down accepts (3000-12-31 23:59:59); both builds refuse the
// instants after it, and those before 1970, so that they show the same text.
constexpr int64_t kLatestCalendarSecond = 32535215999;
