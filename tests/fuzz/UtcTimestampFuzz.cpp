#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "FuzzCheck.h"
#include "net/UtcTimestamp.h"

// sscanf's %d is undefined for a number that does not fit an int, so the C library serves as the reference
// only while no run of ten digits, which might not fit, appears.
static bool digitRunsFitAnInt(const std::string& text) {
    const auto digit = [](char c, char) { return c >= '0' && c <= '9'; };
    return std::search_n(text.begin(), text.end(), 10, '0', digit) == text.end();
}

// The tracker time by the C library: scanned like the tracker's format and converted as timegm does.
static int64_t referenceSeconds(const std::string& text) {
    std::tm fields{};
    if (std::sscanf(text.c_str(), "%d-%d-%d%*c%d:%d:%d", &fields.tm_year, &fields.tm_mon, &fields.tm_mday,
                    &fields.tm_hour, &fields.tm_min, &fields.tm_sec) != 6)
        return 0;
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    fields.tm_isdst = -1;
    return timegm(&fields);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int64_t seconds = parseUtcTimestamp(text);
    FUZZ_CHECK(parseUtcTimestamp(text) == seconds);
    if (digitRunsFitAnInt(text)) FUZZ_CHECK(seconds == referenceSeconds(text));
    return 0;
}
