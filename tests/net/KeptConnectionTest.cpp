#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "net/ApiClient.h"
#include "net/HttpFixture_win.h"

using nlohmann::json;

// One body that serves both the all-status read and the status probe.
const std::string kBothAnswers = R"({"channel_status":{"b1":[{"channel_number":7}]},"statistics":{"cache_age":5}})";

// The kinds of request the route behind `baseUrl` received, as "line agent accept-encoding", and the client
// ports they came from (one per TCP connection).
static std::set<std::string> requestsOf(const std::string& baseUrl, std::set<int>& ports) {
    std::set<std::string> requests;
    for (const json& entry : fixtureLog(baseUrl)) {
        const json& headers = entry["headers"];
        requests.insert(entry["line"].get<std::string>() + " " + headers.value("user-agent", "") + " " +
                        headers.value("accept-encoding", ""));
        ports.insert(entry["client_port"].get<int>());
    }
    return requests;
}

static bool readAllStatus(ApiClient& client) {
    AllStatusMap all;
    return client.fetchAllStatus(all) && all.count("b1") == 1;
}

// Two poll cycles on one client: whatever the server does with the connection between requests, every
// read succeeds as it would on fresh connections, each kind of request goes out as before, and a server
// that keeps the connection sees one TCP connection only.
TEST(KeptConnection, EveryServerBehaviourReadsAsAFreshConnectionWould) {
    struct Case {
        const char* name;
        json route;
        int pauseMs;
        std::size_t connections;  // in all, or 0 when it depends on which connection WinHTTP had pooled
    };
    const Case cases[] = {
        {"kept alive", {{"keep_alive", true}}, 0, 1},
        {"Connection: close after each answer", json::object(), 0, 4},
        {"closed after a second idle", {{"keep_alive", true}, {"idle_close_ms", 1000}}, 1500, 0},
        {"kept connection reset at the next request", {{"keep_alive", true}, {"reset_reused", true}}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        json route = c.route;
        route["body"] = kBothAnswers;
        const std::string base = fixtureRoute(route);
        ApiClient client(base);
        for (int cycle = 0; cycle < 2; ++cycle) {
            if (cycle > 0) std::this_thread::sleep_for(std::chrono::milliseconds(c.pauseMs));
            EXPECT_TRUE(readAllStatus(client)) << client.statusText();
            EXPECT_EQ(client.fetchServerCacheAge(), 5.0) << client.statusText();
        }
        EXPECT_EQ(client.statusText(), "");
        std::set<int> ports;
        EXPECT_EQ(requestsOf(base, ports),
                  (std::set<std::string>{requestLine(base + "/api/all_status") + " Zentrik/1.0 gzip",
                                         requestLine(base + "/api/status") + " Zentrik/1.1 "}));
        if (c.connections > 0) {
            EXPECT_EQ(ports.size(), c.connections);
        }
    }
}

// A kept connection follows each request to its origin: moving the base URL to another server, and back,
// reads from each in turn.
TEST(KeptConnection, FollowsEachRequestToItsOrigin) {
    const std::string base = fixtureRoute({{"body", kBothAnswers}, {"keep_alive", true}});
    ApiClient client(base);
    AllStatusMap all;
    ASSERT_TRUE(client.fetchAllStatus(all)) << client.statusText();
    client.setBaseUrl(fixtureOrigin("TRACKER"));
    ASSERT_TRUE(client.fetchAllStatus(all)) << client.statusText();
    EXPECT_GT(all.size(), 1u);
    client.setBaseUrl(base);
    ASSERT_TRUE(readAllStatus(client)) << client.statusText();
    EXPECT_EQ(fixtureLog(base).size(), 2u);
}
