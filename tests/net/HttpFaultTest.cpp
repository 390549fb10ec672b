#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <utility>

#include "net/ApiClient.h"
#include "net/HttpConnection.h"
#include "net/HttpFixture.h"
#include "net/HttpGet.h"

using nlohmann::json;

static const std::string kAllStatus = R"({"channel_status":{"b1":[{"channel_number":7,"last_hp":40}]}})";

static json gzipEncoded(json route) {
    route["gzip"] = true;
    route["headers"] = {{"Content-Encoding", "gzip"}};
    return route;
}

// The bytes of a body, invalid UTF-8 included, as the fixture's "raw" field carries them: one character each.
static std::string fixtureRawRoute(const std::string& bytes) {
    std::string characters;
    for (const unsigned char byte : bytes) {
        if (byte < 0x80) {
            characters += static_cast<char>(byte);
        } else {
            characters += static_cast<char>(0xC0 | byte >> 6);
            characters += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return fixtureRoute({{"raw", characters}});
}

static std::string nested(const std::string& open, const std::string& inner, const std::string& close) {
    constexpr int kLevels = 100000;
    std::string text;
    for (int i = 0; i < kLevels; ++i) text += open;
    text += inner;
    for (int i = 0; i < kLevels; ++i) text += close;
    return text;
}

// The cache age the probe reads from `baseUrl` and the status text it leaves.
static std::string probeOutcome(const std::string& baseUrl) {
    ApiClient client(baseUrl);
    const double age = client.fetchServerCacheAge();
    return std::to_string(age) + " " + client.statusText();
}

// A body that did not arrive whole, or cannot be decoded whole, is never handed on.
TEST(HttpFault, BrokenBodiesAreNotReturned) {
    struct Case {
        const char* name;
        json route;
        const char* bodyAfter;
    };
    const Case cases[] = {
        {"reset mid-body", {{"body", kAllStatus}, {"repeat", 1000}, {"drop_after", 5000}, {"reset", true}}, "keep"},
        {"gzip cut short", gzipEncoded({{"body", kAllStatus}, {"repeat", 100}, {"truncate", 20}}), ""},
    };
    HttpConnection connection;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string body = "keep";
        EXPECT_EQ(httpGet(connection, fixtureRoute(c.route) + "/api/all_status", body), 0u);
        EXPECT_EQ(body, c.bodyAfter);
    }
}

// The 10 MiB cap on the wire and the 64 MiB cap on inflation admit a body of exactly their size; a
// Content-Encoding is read up to 63 characters, and a longer one leaves the body as it came.
TEST(HttpFault, LimitsHoldAtTheirExactSize) {
    const auto encodedAs = [](std::size_t length) {
        json route = gzipEncoded({{"body", kAllStatus}});
        route["headers"] = {{"Content-Encoding", std::string(length - 6, 'x') + ", gzip"}};
        return route;
    };
    const std::string tooLarge = "Failed to fetch all status - network error or empty response";
    struct Case {
        const char* name;
        json route;
        std::string message;  // empty when the read succeeds
    };
    const Case cases[] = {
        {"10 MiB on the wire", {{"body", kAllStatus}, {"pad_to", 10 << 20}}, ""},
        {"a byte more on the wire", {{"body", kAllStatus}, {"pad_to", (10 << 20) + 1}}, tooLarge},
        {"64 MiB inflated", gzipEncoded({{"body", kAllStatus}, {"pad_to", 64 << 20}}), ""},
        {"a byte more inflated", gzipEncoded({{"body", kAllStatus}, {"pad_to", (64 << 20) + 1}}), tooLarge},
        {"gzip named in 63 characters", encodedAs(63), ""},
        {"gzip named in 64 characters", encodedAs(64), "Invalid JSON response from server"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ApiClient client(fixtureRoute(c.route));
        AllStatusMap all;
        EXPECT_EQ(client.fetchAllStatus(all), c.message.empty());
        EXPECT_EQ(all.count("b1"), c.message.empty() ? 1u : 0u);
        EXPECT_EQ(client.statusText(), c.message);
    }
}

// Silence, before or after the headers: each request gives up after its own receive time-out (10 s for data,
// 3 s for the probe). A body trickled a byte at a time never lets a read time out, so the whole body gets four
// time-outs. All five wait at the same time.
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
    const std::string headersOnly = fixtureRoute({{"body", kAllStatus}, {"stall_after", 0}});
    const std::string silent = fixtureRoute({{"body", kAllStatus}, {"delay_ms", 30000}});
    const std::string halfBody = fixtureRoute({{"body", status}, {"stall_after", 10}});
    const std::string trickled = fixtureRoute({{"body", std::string(170, ' ') + status}, {"trickle_ms", 250}});
    const auto dataRead = [&](const std::string& base) {
        return timed([base] {
            std::string body = "keep";
            HttpConnection connection;
            return std::to_string(httpGet(connection, base + "/api/all_status", body)) + " " + body;
        });
    };
    auto data = dataRead(headersOnly);
    auto unanswered = dataRead(silent);
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
        {unanswered, "0 keep", 9.5, 13.0},
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

// Bodies a hostile or broken server might send get the documented message or the documented values.
TEST(HttpFault, HostileJsonGetsItsDocumentedOutcome) {
    const auto bossList = [](const std::string& raw) {
        ApiClient client(fixtureRawRoute(raw));
        std::vector<BossInfo> bosses;
        std::string outcome = client.fetchBossList(bosses) ? "ok" : client.statusText();
        for (const BossInfo& boss : bosses) outcome += " " + boss.id + "/" + boss.name;
        return outcome;
    };
    EXPECT_EQ(bossList("{\"items\":[{\"id\":\"b1\",\"name\":\"\xff\"}]}"), "Invalid JSON response from server");
    EXPECT_EQ(bossList(R"({"items":)" + nested("[", "", "]") + "}"), "No valid bosses found in response");
    EXPECT_EQ(bossList(R"({"items":[{"id":"a","name":"x","id":"b"}],"items":[{"id":"c","name":"y","name":"z"}]})"),
              "ok c/z");

    const auto allStatus = [](const std::string& raw) {
        ApiClient client(fixtureRawRoute(raw));
        AllStatusMap all;
        std::string outcome = client.fetchAllStatus(all) ? "ok" : client.statusText();
        for (const auto& [id, channels] : all) {
            outcome += " " + id + ":";
            for (const ChannelStatus& c : channels)
                outcome += " " + std::to_string(c.channelNumber) + "/" + std::to_string(c.lastHp);
        }
        return outcome;
    };
    EXPECT_EQ(allStatus("{\"channel_status\":{\"\xc3\x28\":[]}}"), "Invalid JSON response from server");
    EXPECT_EQ(allStatus(R"({"channel_status":{"b1":)" + nested("[", "", "]") + "}}"), "ok b1:");
    // Floats beyond the 32-bit range saturate; integers beyond 64 bits are floats to the parser.
    EXPECT_EQ(allStatus(R"({"channel_status":{"b":[{"channel_number":1e300,"last_hp":-1e20},
        {"channel_number":123456789012345678901234567890,"last_hp":3e9},
        {"channel_number":18446744073709551617,"last_hp":-9223372036854775809}]}})"),
              "ok b: 2147483647/-2147483648 2147483647/2147483647 2147483647/-2147483648");

    EXPECT_EQ(probeOutcome(fixtureRawRoute(R"({"statistics":{"cache_age":)" + nested("[", "", "]") + "}}")),
              "-1.000000 'cache_age' is not a number");
    EXPECT_EQ(probeOutcome(fixtureRawRoute(R"({"statistics":)" + nested(R"({"a":)", "1", "}") + "}")),
              "-1.000000 Missing 'cache_age' field in statistics");
}
