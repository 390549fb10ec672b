#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "net/ServerStatus.h"

const std::set<std::string> kFailures = {
    "Invalid JSON response",
    "JSON root is not an object",
    "Missing 'statistics' field in response",
    "'statistics' field is not an object",
    "Missing 'cache_age' field in statistics",
    "'cache_age' is null",
    "'cache_age' is not a number",
    "'cache_age' out of valid range",
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    std::string message = "earlier";
    const double age = decodeCacheAge(body, message);
    if (age == kNoCacheAge) {
        FUZZ_CHECK(kFailures.count(message) == 1);
    } else {
        // A success leaves an earlier message alone and gives exactly the number the body holds.
        FUZZ_CHECK(message == "earlier" && age >= 0.0 && age <= 86400.0);
        const auto document = nlohmann::json::parse(body, nullptr, false, false);
        FUZZ_CHECK(document["statistics"]["cache_age"].get<double>() == age);
    }

    std::string again = "earlier";
    FUZZ_CHECK(decodeCacheAge(body, again) == age && again == message);
    return 0;
}
