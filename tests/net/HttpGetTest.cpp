#include <gtest/gtest.h>

#include <tuple>

#include "net/HttpConnection.h"
#include "net/HttpFixture.h"
#include "net/HttpGet.h"

using nlohmann::json;

const std::string kJson = R"({"channel_status":{"a":[{"channel_number":1,"last_hp":50}]}})";
// Percent signs included, the query must reach the server as composed.
const std::string kPath = "/api/collections/mob_channel_status/records?filter=(mob='o%27n%23e')&perPage=500";

static json encoded(json route, const char* encoding = "gzip") {
    route["headers"] = {{"Content-Encoding", encoding}};
    return route;
}

// Each answer yields the route's body (repeated as often as it says) and its size on the wire.
TEST(HttpGet, DecodesWhatTheServerSends) {
    const json gzip = {{"body", kJson}, {"gzip", true}};
    HttpConnection connection;  // each server closes it after its answer
    const json routes[] = {
        {{"body", kJson}},
        encoded(gzip),
        encoded(gzip, "X-GZIP"),
        encoded({{"body", kJson}}, "deflate"),
        {{"body", kJson}, {"repeat", 1000}, {"chunked", 1000}},
        encoded({{"body", kJson}, {"gzip", true}, {"isize", 7}, {"chunked", 5}}),
        {{"body", kJson}, {"repeat", 1000}, {"length", "none"}},
        {{"body", "x"}, {"repeat", 10 << 20}},
    };
    for (const json& route : routes) {
        SCOPED_TRACE(route.dump());
        const std::string base = fixtureRoute(route);
        std::string body = "keep", expected;
        for (int i = 0; i < route.value("repeat", 1); ++i) expected += route["body"].get<std::string>();
        const uint64_t received = httpGet(connection, base + kPath, body);
        EXPECT_TRUE(body == expected) << body.substr(0, 200);
        const json log = fixtureLog(base);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(received, log[0]["body_bytes"].get<uint64_t>());
        EXPECT_EQ(log[0]["line"], requestLine(base + kPath));
        EXPECT_EQ(log[0]["headers"].value("accept-encoding", ""), "gzip");
        EXPECT_EQ(log[0]["headers"].value("user-agent", ""), "Zentrik/1.0");
    }
}

// A body that did not arrive whole is never returned; gzip that cannot be inflated empties the output.
TEST(HttpGet, FailuresReturnZero) {
    const auto at = [](const json& route) { return fixtureRoute(route) + "/api/all_status"; };
    const std::string plain = fixtureRoute({{"body", kJson}});
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"404", at({{"status", 404}, {"body", kJson}}), "keep"},
        {"dropped mid-body", at({{"body", kJson}, {"repeat", 100}, {"drop_after", 1000}}), "keep"},
        {"over 10 MiB", at({{"body", "x"}, {"repeat", (10 << 20) + 1}}), "keep"},
        {"over 10 MiB, no length", at({{"body", "x"}, {"repeat", (10 << 20) + 1}, {"length", "none"}}), "keep"},
        {"gzip shorter than 18 bytes", at(encoded({{"body", "0123456789abcdef"}})), ""},
        {"gzip without magic", at(encoded({{"body", kJson}})), ""},
        // About 10 MiB on the wire that would inflate to nearly 10 GiB.
        {"gzip bomb", at(encoded({{"bomb_mib", 10100}})), ""},
        {"empty URL", "", "keep"},
        {"refused", "http://127.0.0.1:1/api/all_status", "keep"},
        // The https scheme makes the request secure, which the plain fixture cannot answer.
        {"https", "https" + plain.substr(4) + "/api/all_status", "keep"},
    };
    HttpConnection connection;
    for (const auto& [name, url, bodyAfter] : cases) {
        std::string body = "keep";
        EXPECT_EQ(httpGet(connection, url, body), 0u) << name;
        EXPECT_EQ(body, bodyAfter) << name;
    }
    EXPECT_TRUE(fixtureLog(plain).empty());
}
