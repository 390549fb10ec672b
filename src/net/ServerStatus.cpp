#include "net/ServerStatus.h"

#include <nlohmann/json.hpp>

#include "net/TrackerDecoder.h"

namespace {

using json = nlohmann::json;

constexpr double kLongestCacheAge = 86400.0;

double readCacheAge(std::string_view body, std::string& message) {
    TokenLimitedInput<const char*> input(body.data(), body.data() + body.size(), kLongestTokens);
    const json root = json::parse(input.begin(), input.end(), nullptr, false, false);
    const char* failure = nullptr;
    if (input.overLimit())
        failure = kOverLimitsMessage;
    else if (root.is_discarded())
        failure = "Invalid JSON response";
    else if (!root.is_object())
        failure = "JSON root is not an object";
    else if (!root.contains("statistics"))
        failure = "Missing 'statistics' field in response";
    else if (!root.at("statistics").is_object())
        failure = "'statistics' field is not an object";
    else if (!root.at("statistics").contains("cache_age"))
        failure = "Missing 'cache_age' field in statistics";
    if (failure) {
        message = failure;
        return kNoCacheAge;
    }
    const json& age = root.at("statistics").at("cache_age");
    if (age.is_null())
        message = "'cache_age' is null";
    else if (!age.is_number())
        message = "'cache_age' is not a number";
    else if (const double seconds = age.get<double>(); seconds < 0.0 || seconds > kLongestCacheAge)
        message = "'cache_age' out of valid range";
    else
        return seconds;
    return kNoCacheAge;
}

}  // namespace

double decodeCacheAge(std::string_view body, std::string& message) {
    try {
        return readCacheAge(body, message);
    } catch (const json::parse_error& e) {
        message = std::string("JSON parse error: ") + e.what();
    } catch (const json::type_error& e) {
        message = std::string("JSON type error: ") + e.what();
    } catch (const json::out_of_range& e) {
        message = std::string("JSON out of range: ") + e.what();
    } catch (const std::exception& e) {
        message = std::string("Unexpected error: ") + e.what();
    } catch (...) {
        message = "Unknown exception during JSON parsing";
    }
    return kNoCacheAge;
}
