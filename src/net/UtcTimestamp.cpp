#include "net/UtcTimestamp.h"

#include <climits>

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads the fields of "%d-%d-%d%*c%d:%d:%d" the way scanf does: each number may have leading white
// space and a sign. Unlike scanf, a number that does not fit an int ends the scan instead of being undefined.
class FieldScanner {
public:
    explicit FieldScanner(const std::string& text) : p_(text.c_str()) {}

    bool number(int& value) {
        while (isSpace(*p_)) ++p_;
        const bool negative = *p_ == '-';
        if (*p_ == '-' || *p_ == '+') ++p_;
        if (!isDigit(*p_)) return false;
        long long magnitude = 0;
        while (isDigit(*p_)) {
            magnitude = magnitude * 10 + (*p_++ - '0');
            if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
        }
        const long long signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT_MAX) return false;
        value = static_cast<int>(signedValue);
        return true;
    }

    bool literal(char c) {
        if (*p_ != c) return false;
        ++p_;
        return true;
    }

    bool anyChar() {
        if (*p_ == '\0') return false;
        ++p_;
        return true;
    }

private:
    const char* p_;
};

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Days since 1970-01-01 of a proleptic Gregorian date whose month is already 1..12.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = floorDiv(year, 400);
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Calendar year of a day count since 1970-01-01.
int64_t yearOfDays(int64_t days) {
    days += 719468;
    const int64_t era = floorDiv(days, 146097);
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (monthIndex >= 10);
}

}  // namespace

int64_t parseUtcTimestamp(const std::string& text) {
    if (text.empty()) return 0;
    int year, month, day, hour, minute, second;
    FieldScanner scan(text);
    if (!(scan.number(year) && scan.literal('-') && scan.number(month) && scan.literal('-') && scan.number(day) &&
          scan.anyChar() && scan.number(hour) && scan.literal(':') && scan.number(minute) && scan.literal(':') &&
          scan.number(second)))
        return 0;

    // Normalise like timegm: the month carries into the year, everything smaller is plain seconds.
    const int64_t monthIndex = static_cast<int64_t>(month) - 1;
    const int64_t normalYear = static_cast<int64_t>(year) + floorDiv(monthIndex, 12);
    const int64_t normalMonth = monthIndex - floorDiv(monthIndex, 12) * 12 + 1;
    const int64_t seconds = (daysFromCivil(normalYear, normalMonth, 1) + day - 1) * 86400 +
                            static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;

    // timegm fails when the normalised year no longer fits the calendar record's int field.
    const int64_t resultYear = yearOfDays(floorDiv(seconds, 86400));
    if (resultYear - 1900 > INT_MAX || resultYear - 1900 < INT_MIN) return -1;
    return seconds;
}
