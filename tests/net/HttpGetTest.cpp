#include <gtest/gtest.h>

#include <utility>

#include "net/GzipMember.h"
#include "net/HttpConnection_win.h"
#include "net/HttpGet.h"
#include "net/LocalFixtures_win.h"

using nlohmann::json;

const std::string kJson = R"({"channel_status":{"a":[{"channel_number":1,"last_hp":50}]}})";

static json encoded(json route, const std::string& encoding = "gzip") {
    route["headers"] = {{"Content-Encoding", encoding}};
    return route;
}

// Each answer yields the route's body byte for byte once inflated (gzip's bytes are no UTF-8), and its size on the
// wire, from one request. Content-Encoding is read up to 63 characters: a longer one leaves the body as it came. A
// chunked answer is as long as its chunks, whatever Content-Length it also announces.
TEST(HttpGet, DecodesWhatTheServerSends) {
    const json gzip = {{"body", kJson}, {"gzip", true}};
    HttpConnection connection;  // each server closes it after its answer
    const json routes[] = {
        {{"body", kJson}},
        encoded(gzip),
        encoded(gzip, "X-GZIP"),
        encoded({{"body", kJson}}, "deflate"),
        {{"body", kJson}, {"repeat", 1000}, {"chunked", 1000}},
        {{"body", kJson}, {"repeat", 10}, {"chunked", 100}, {"headers", {{"Content-Length", "99999"}}}},
        encoded({{"body", kJson}, {"gzip", true}, {"chunked", 5}}),
        {{"body", kJson}, {"repeat", 1000}, {"length", "none"}},
        {{"body", "x"}, {"repeat", 10 << 20}},
        encoded({{"body", "x"}, {"repeat", 64 << 20}, {"gzip", true}}),  // inflates to the cap exactly
        encoded(gzip, std::string(57, 'x') + ", gzip"),
        encoded({{"body", kJson}}, std::string(58, 'x') + ", gzip"),
    };
    for (const json& route : routes) {
        SCOPED_TRACE(route.dump().substr(0, 200));
        const std::string base = fixtureRoute(route);
        const std::string piece = route.value("body", "");
        std::string expected;
        for (int i = route.value("repeat", 1); i > 0; --i) expected += piece;
        EncodedBody body{"keep", false};
        ReadFailure failure;
        const uint64_t received = httpGet(connection, base + "/api/all_status", body, failure);
        EXPECT_EQ(body.gzip, route.value("gzip", false));
        std::string text = body.bytes;
        if (body.gzip) {
            GzipMemberReader reader(body.bytes);
            text.assign(reader.begin(), reader.end());
            EXPECT_TRUE(reader.complete());
        }
        EXPECT_TRUE(text == expected) << text.substr(0, 200);
        const json log = fixtureLog(base);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(received, log[0]["body_bytes"].get<uint64_t>());
    }
}

// TLS handshakes the demo tracker has seen: it answers TLS with a certificate nobody trusts.
static int trackerHandshakes() {
    return json::parse(fixtureRequest("GET /__control/requests", {}, "TRACKER"))["tls_handshakes"];
}

// A body that did not arrive whole is never returned. Each failure names its reason, and only a kept connection dropped
// before the answer is tried twice.
TEST(HttpGet, FailuresReturnZeroAndSayWhy) {
    const auto at = [](const json& route) { return fixtureRoute(route) + "/api/all_status"; };
    const std::pair<std::string, std::string> cases[] = {
        {at({{"status", 404}, {"body", kJson}}), "t: HTTP status 404"},
        {at({{"body", kJson}, {"repeat", 100}, {"drop_after", 1000}}), "t: connection dropped"},
        {at({{"body", kJson}, {"repeat", 1000}, {"drop_after", 5000}, {"reset", true}}), "t: connection dropped"},
        {at({{"body", "x"}, {"repeat", (10 << 20) + 1}}), "t: answer is not tracker data"},
        {"", ""},
        {"http://127.0.0.1:1/api/all_status", "t: connection refused"},
        {"http://tracker.invalid/api/all_status", "t: host name not found"},
        // Also the check that the https scheme makes the request secure: plain HTTP would get an answer.
        {"https" + fixtureOrigin("TRACKER").substr(4) + "/api/all_status", "t: certificate not trusted"},
    };
    HttpConnection connection;  // one for every case, so it must reopen for each other origin
    const int handshakesBefore = trackerHandshakes();
    for (const auto& [url, reason] : cases) {
        SCOPED_TRACE(url);
        EncodedBody body{"keep", false};
        ReadFailure failure;
        EXPECT_EQ(httpGet(connection, url, body, failure), 0u);
        EXPECT_EQ(body.bytes, "keep");
        EXPECT_EQ(ReadFailureText("t", failure), reason);
    }
    EXPECT_EQ(trackerHandshakes() - handshakesBefore, 1) << "a refused certificate is not tried again";
}
