#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <utility>

#include "net/ApiClient.h"
#include "net/HttpConnection.h"
#include "net/HttpFixture.h"
#include "net/HttpGet.h"

// The cache age the probe reads from `baseUrl` and the status text it leaves.
static std::string probeOutcome(const std::string& baseUrl) {
    ApiClient client(baseUrl);
    const double age = client.fetchServerCacheAge();
    return std::to_string(age) + " " + client.statusText();
}

// Headers, then silence: each request gives up after its own receive time-out (10 s for data, 3 s for the
// probe). A body trickled a byte at a time never lets a read time out, so the whole body gets four time-outs.
// All four wait at the same time.
TEST(HttpFault, StalledAndTricklingServersTimeOut) {
    using Clock = std::chrono::steady_clock;
    const auto timed = [](auto request) {
        return std::async(std::launch::async, [request] {
            const auto start = Clock::now();
            auto result = request();
            return std::make_pair(result, std::chrono::duration<double>(Clock::now() - start).count());
        });
    };
    const std::string status = R"({"statistics":{"cache_age":1}})";
    const std::string headersOnly = fixtureRoute({{"body", status}, {"stall_after", 0}});
    const std::string halfBody = fixtureRoute({{"body", status}, {"stall_after", 10}});
    const std::string trickled = fixtureRoute({{"body", std::string(170, ' ') + status}, {"trickle_ms", 250}});
    auto data = timed([&] {
        std::string body = "keep";
        HttpConnection connection;
        return std::to_string(httpGet(connection, headersOnly + "/api/all_status", body)) + " " + body;
    });
    auto emptyProbe = timed([&] { return probeOutcome(headersOnly); });
    auto cutProbe = timed([&] { return probeOutcome(halfBody); });
    auto trickledProbe = timed([&] { return probeOutcome(trickled); });

    struct Expected {
        std::future<std::pair<std::string, double>>& outcome;
        const char* result;
        double fewestSeconds, mostSeconds;
    };
    const Expected expectations[] = {
        {data, "0 keep", 9.5, 13.0},
        {emptyProbe, "-1.000000 Empty response from server", 2.5, 5.0},
        {cutProbe, "-1.000000 Invalid JSON response", 2.5, 5.0},
        {trickledProbe, "-1.000000 Invalid JSON response", 11.5, 15.0},
    };
    for (const Expected& e : expectations) {
        SCOPED_TRACE(e.result);
        const auto [result, seconds] = e.outcome.get();
        EXPECT_EQ(result, e.result);
        EXPECT_TRUE(seconds >= e.fewestSeconds && seconds <= e.mostSeconds) << seconds;
    }
}
