#pragma once

#include <string>
#include <string_view>

constexpr double kNoCacheAge = -1.0;

// Seconds from "statistics"."cache_age" of a "/api/status" body (0 to 86400), or kNoCacheAge with the
// reason in `message`.
double decodeCacheAge(std::string_view body, std::string& message);
