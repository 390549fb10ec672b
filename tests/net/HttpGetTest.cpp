#include <gtest/gtest.h>

#include "net/HttpFixture.h"
#include "net/HttpGet.h"

namespace {

using nlohmann::json;

const std::string kJson = R"({"channel_status":{"a":[{"channel_number":1,"last_hp":50}]}})";

TEST(HttpGet, DecodesWhatTheServerSends) {
    HttpFixture fixture;
    const std::string big(3 << 20, 'b');
    struct Case {
        const char* name;
        json route;
        uint64_t wireBytes;  // 0: the compressed size as logged by the server is not known here; checked > 0
        std::string body;
    };
    const Case cases[] = {
        {"plain", {{"body", kJson}}, kJson.size(), kJson},
        {"gzip", {{"body", kJson}, {"gzip", true}, {"headers", {{"Content-Encoding", "gzip"}}}}, 0, kJson},
        {"GZIP", {{"body", kJson}, {"gzip", true}, {"headers", {{"Content-Encoding", "GZIP"}}}}, 0, kJson},
        {"x-gzip", {{"body", kJson}, {"gzip", true}, {"headers", {{"Content-Encoding", "x-gzip"}}}}, 0, kJson},
        {"deflate passes through",
         {{"body", kJson}, {"headers", {{"Content-Encoding", "deflate"}}}},
         kJson.size(),
         kJson},
        {"chunked",
         {{"body", kJson}, {"repeat", 1000}, {"chunked", 1000}},
         kJson.size() * 1000,
         [] {
             std::string s;
             for (int i = 0; i < 1000; ++i) s += kJson;
             return s;
         }()},
        {"gzip chunked, wrong isize",
         {{"body", kJson}, {"gzip", true}, {"isize", 7}, {"chunked", 5}, {"headers", {{"Content-Encoding", "gzip"}}}},
         0,
         kJson},
        {"ended by closing", {{"body", big}, {"length", "none"}}, big.size(), big},
        {"exactly 10 MiB", {{"body", "x"}, {"repeat", 10 << 20}}, 10 << 20, std::string(10 << 20, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = fixture.route(c.route);
        std::string body = "keep";
        const uint64_t received = httpGet(base + "/api/all_status", body);
        if (c.wireBytes) {
            EXPECT_EQ(received, c.wireBytes);
        }
        EXPECT_GT(received, 0u);
        EXPECT_TRUE(body == c.body) << body.substr(0, 200);
    }
}

TEST(HttpGet, FailuresReturnZero) {
    HttpFixture fixture;
    struct Case {
        const char* name;
        json route;
        std::string bodyAfter;  // what the caller's output holds afterwards
    };
    const Case cases[] = {
        {"404", {{"status", 404}, {"body", kJson}}, "keep"},
        {"connection dropped mid-body", {{"body", kJson}, {"repeat", 100}, {"drop_after", 1000}}, "keep"},
        {"larger than 10 MiB", {{"body", "x"}, {"repeat", (10 << 20) + 1}}, "keep"},
        {"larger than 10 MiB without a length",
         {{"body", "x"}, {"repeat", (10 << 20) + 1}, {"length", "none"}},
         "keep"},
        {"gzip shorter than 18 bytes", {{"body", "0123456789abcdef"}, {"headers", {{"Content-Encoding", "gzip"}}}}, ""},
        {"gzip without magic", {{"body", kJson}, {"headers", {{"Content-Encoding", "gzip"}}}}, ""},
        // About 10 MiB on the wire that would inflate to nearly 10 GiB.
        {"gzip bomb", {{"bomb_mib", 10100}, {"headers", {{"Content-Encoding", "gzip"}}}}, ""},
        {"gzip bomb claiming a small size",
         {{"bomb_mib", 10100}, {"isize", 1000}, {"headers", {{"Content-Encoding", "gzip"}}}},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = fixture.route(c.route);
        std::string body = "keep";
        EXPECT_EQ(httpGet(base + "/api/all_status", body), 0u);
        EXPECT_EQ(body, c.bodyAfter);
        EXPECT_EQ(fixture.requests(base).size(), 1u);
    }

    // With the https scheme the request is secure, and the plain fixture cannot complete the handshake.
    std::string secure = fixture.route({{"body", kJson}});
    const std::string secureRoute = secure;
    secure.replace(0, 4, "https");
    const std::string unreachable[] = {"", "not a url", "http://127.0.0.1:1/api/all_status",
                                       secure + "/api/all_status"};
    for (const std::string& url : unreachable) {
        SCOPED_TRACE(url);
        std::string body = "keep";
        EXPECT_EQ(httpGet(url, body), 0u);
        EXPECT_EQ(body, "keep");
    }
    EXPECT_EQ(fixture.requests(secureRoute).size(), 0u);
}

TEST(HttpGet, SendsTheRequestAsComposed) {
    HttpFixture fixture;
    const std::string base = fixture.route({{"body", kJson}});
    const std::string path =
        "/api/collections/mob_channel_status/records?filter=(mob='o%27n%23e')&perPage=500&sort=-last_update";
    std::string body;
    ASSERT_GT(httpGet(base + path, body), 0u);
    const json log = fixture.requests(base);
    ASSERT_EQ(log.size(), 1u);
    const std::string routePath = base.substr(HttpFixture::origin().size());
    EXPECT_EQ(log[0]["line"], "GET " + routePath + path + " HTTP/1.1");
    EXPECT_EQ(loggedHeader(log[0], "Accept-Encoding"), "gzip");
    EXPECT_EQ(loggedHeader(log[0], "User-Agent"), "Zentrik/1.0");
    EXPECT_EQ(loggedHeader(log[0], "Host"), HttpFixture::origin().substr(7));
}

}  // namespace
