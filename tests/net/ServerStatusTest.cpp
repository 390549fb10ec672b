#include <gtest/gtest.h>

#include <tuple>

#include "net/ServerStatus.h"
#include "support/DeepJson.h"

TEST(ServerStatus, CacheAge) {
    const std::tuple<std::string, double, const char*> cases[] = {
        {R"({"statistics":{"cache_age":12.5,"hits":3},"version":"1"})", 12.5, ""},
        {R"({"statistics":{"cache_age":0}})", 0.0, ""},
        {R"({"statistics":{"cache_age":86400}})", 86400.0, ""},
        {R"({"statistics":{"cache_age":86400.5}})", -1.0, "'cache_age' out of valid range"},
        {R"({"statistics":{"cache_age":-0.1}})", -1.0, "'cache_age' out of valid range"},
        {R"({"statistics":{"cache_age":"12"}})", -1.0, "'cache_age' is not a number"},
        {R"({"statistics":{"cache_age":)" + deeplyNested("[", "", "]") + "}}", -1.0, "'cache_age' is not a number"},
        {R"({"statistics":{"cache_age":null}})", -1.0, "'cache_age' is null"},
        // Tokens over their limits are refused before the library converts or holds them whole.
        {R"({"statistics":{"cache_age":1.)" + std::string(46, '0') + "}}", 1.0, ""},
        {R"({"statistics":{"cache_age":1.)" + std::string(47, '0') + "}}", -1.0, "Answer over the tracker's limits"},
        {R"({"x":")" + std::string(1025, 'x') + R"(","statistics":{"cache_age":1}})", -1.0,
         "Answer over the tracker's limits"},
        {R"({"statistics":{"age":1}})", -1.0, "Missing 'cache_age' field in statistics"},
        {R"({"statistics":[{"cache_age":1}]})", -1.0, "'statistics' field is not an object"},
        {R"({"cache_age":1})", -1.0, "Missing 'statistics' field in response"},
        {R"([{"statistics":{"cache_age":1}}])", -1.0, "JSON root is not an object"},
        {R"({"statistics":{"cache_age":1)", -1.0, "Invalid JSON response"},
        {"{\"statistics\":{\"cache_age\":1}} // c", -1.0, "Invalid JSON response"}};
    for (const auto& [body, age, expectedMessage] : cases) {
        std::string message;
        EXPECT_EQ(decodeCacheAge(body, message), age) << body.substr(0, 100);
        EXPECT_EQ(message, expectedMessage) << body.substr(0, 100);
    }
}
