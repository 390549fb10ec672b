#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <tuple>
#include <utility>

#include "net/ApiClient.h"
#include "net/GzipMember.h"
#include "net/HttpConnection_win.h"
#include "net/HttpGet.h"
#include "net/LocalFixtures_win.h"

using nlohmann::json;

const std::string kJson = R"({"channel_status":{"a":[{"channel_number":1,"last_hp":50}]}})";
// Percent signs included, the query must reach the server as composed.
const std::string kPath = "/api/collections/mob_channel_status/records?filter=(mob='o%27n%23e')&perPage=500";

static json encoded(json route, const std::string& encoding = "gzip") {
    route["headers"] = {{"Content-Encoding", encoding}};
    return route;
}

// Each answer yields the route's body (repeated and padded as it says) byte for byte once inflated, and its size on
// the wire. Content-Encoding is read up to 63 characters: a longer one leaves the body as it came. A chunked answer is
// as long as its chunks, whatever Content-Length it also announces.
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
        encoded({{"body", kJson}, {"gzip", true}, {"isize", 7}, {"chunked", 5}}),
        {{"body", kJson}, {"repeat", 1000}, {"length", "none"}},
        {{"body", "x"}, {"repeat", 10 << 20}},
        encoded({{"body", kJson}, {"gzip", true}, {"pad_to", 64 << 20}}),
        encoded(gzip, std::string(57, 'x') + ", gzip"),
        encoded({{"body", kJson}}, std::string(58, 'x') + ", gzip"),
        {{"raw", "\xc3\xbf\xc2\x80{\xc3\x83("}},  // the bytes FF 80 7B C3 28: not UTF-8, passed on as they are
    };
    for (const json& route : routes) {
        SCOPED_TRACE(route.dump().substr(0, 200));
        const std::string base = fixtureRoute(route);
        EncodedBody body{"keep", false};
        std::string expected;
        for (int i = 0; i < route.value("repeat", 1); ++i) expected += route.value("body", "");
        expected.resize(std::max<std::size_t>(expected.size(), route.value("pad_to", 0)), ' ');
        const std::string raw = route.value("raw", "");
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const auto unit = static_cast<unsigned char>(raw[i]);
            expected += static_cast<char>(unit < 0x80 ? unit : unit << 6 | (raw[++i] & 0x3F));
        }
        ReadFailure failure;
        const uint64_t received = httpGet(connection, base + kPath, body, failure);
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
        EXPECT_EQ(log[0]["line"], requestLine(base + kPath));
        EXPECT_EQ(log[0]["headers"].value("accept-encoding", ""), "gzip");
        EXPECT_EQ(log[0]["headers"].value("user-agent", ""), "Zentrik/1.0");
    }
}

// TLS handshakes the demo tracker has seen: it answers TLS with a certificate nobody trusts.
static int trackerHandshakes() {
    return json::parse(fixtureGet("GET /__control/requests HTTP/1.0\r\n\r\n", "TRACKER"))["tls_handshakes"];
}

// A body that did not arrive whole is never returned. Each failure names its reason, and only a kept connection dropped
// before the answer is tried twice.
TEST(HttpGet, FailuresReturnZeroAndSayWhy) {
    const auto at = [](const json& route) { return fixtureRoute(route) + "/api/all_status"; };
    const std::string untrusted = "https" + fixtureOrigin("TRACKER").substr(4) + "/api/all_status";
    const char* notData = "t: answer is not tracker data";
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"404", at({{"status", 404}, {"body", kJson}}), "t: HTTP status 404"},
        {"dropped mid-body", at({{"body", kJson}, {"repeat", 100}, {"drop_after", 1000}}), "t: connection dropped"},
        {"reset mid-body", at({{"body", kJson}, {"repeat", 1000}, {"drop_after", 5000}, {"reset", true}}),
         "t: connection dropped"},
        {"over 10 MiB", at({{"body", "x"}, {"repeat", (10 << 20) + 1}}), notData},
        {"empty URL", "", ""},
        {"refused", "http://127.0.0.1:1/api/all_status", "t: connection refused"},
        {"unknown host", "http://tracker.invalid/api/all_status", "t: host name not found"},
        // Also the check that the https scheme makes the request secure: plain HTTP would get an answer.
        {"self-signed certificate", untrusted, "t: certificate not trusted"},
    };
    HttpConnection connection;  // one for every case, so it must reopen for each other origin
    const int handshakesBefore = trackerHandshakes();
    for (const auto& [name, url, reason] : cases) {
        SCOPED_TRACE(name);
        EncodedBody body{"keep", false};
        ReadFailure failure;
        EXPECT_EQ(httpGet(connection, url, body, failure), 0u);
        EXPECT_EQ(body.bytes, "keep");
        EXPECT_EQ(ReadFailureText("t", failure), reason);
    }
    EXPECT_EQ(trackerHandshakes() - handshakesBefore, 1) << "a refused certificate is not tried again";
}

// Silence, before or after the headers: each request gives up after its own receive time-out (10 s for data,
// 3 s for the probe). A body trickled a byte at a time never lets a read time out, so the whole body gets four
// time-outs. All five wait at the same time.
TEST(HttpGet, StalledAndTricklingServersTimeOut) {
    const std::string status = R"({"statistics":{"cache_age":1}})";
    const std::string headersOnly = fixtureRoute({{"body", status}, {"stall_after", 0}});
    // What a data read or the cache-age probe of `base` gives, as text.
    const auto dataRead = [](std::string base) -> std::function<std::string()> {
        return [base] {
            EncodedBody body{"keep", false};
            HttpConnection connection;
            ReadFailure failure;
            const uint64_t received = httpGet(connection, base + "/api/all_status", body, failure);
            return std::to_string(received) + " " + body.bytes + " " + ReadFailureText("t", failure);
        };
    };
    const auto probe = [](std::string base) -> std::function<std::string()> {
        return [base] {
            ApiClient client(base);
            const double age = client.fetchServerCacheAge();
            return std::to_string(age) + " " + client.statusText();
        };
    };
    struct Case {
        std::function<std::string()> request;
        const char* result;
        double fewestSeconds, mostSeconds;
    };
    const Case cases[] = {
        {dataRead(headersOnly), "0 keep t: no answer in time", 9.5, 13.0},
        {dataRead(fixtureRoute({{"body", status}, {"delay_ms", 30000}})), "0 keep t: no answer in time", 9.5, 13.0},
        {probe(headersOnly), "-1.000000 Empty response from server", 2.5, 5.0},
        {probe(fixtureRoute({{"body", status}, {"stall_after", 10}})), "-1.000000 Invalid JSON response", 2.5, 5.0},
        {probe(fixtureRoute({{"body", std::string(170, ' ') + status}, {"trickle_ms", 250}})),
         "-1.000000 Invalid JSON response", 11.5, 15.0},
    };
    std::vector<std::future<std::pair<std::string, double>>> outcomes;
    for (const Case& c : cases) {
        outcomes.push_back(std::async(std::launch::async, [&c] {
            const auto start = std::chrono::steady_clock::now();
            const std::string result = c.request();
            return std::make_pair(result,
                                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }));
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].result);
        const auto [result, seconds] = outcomes[i].get();
        EXPECT_EQ(result, cases[i].result);
        EXPECT_TRUE(seconds >= cases[i].fewestSeconds && seconds <= cases[i].mostSeconds) << seconds;
    }
}
