#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <mutex>
#include <tuple>

#include "net/ApiClient.h"
#include "net/HttpFixture_win.h"

using nlohmann::json;

// One body for all three reads: "items" serves both the boss list and the channel read.
const char kBody[] = R"({"items":[{"id":"b1","name":"Drake","channel_number":2},{"channel_number":1}],
    "channel_status":{"b1":[{"last_hp":150}]}})";

using Outcomes = std::array<std::string, 3>;

// What the boss-list, channel and all-status reads give: "ok", or the status text they leave.
static Outcomes readAll(ApiClient& client) {
    std::vector<BossInfo> bosses;
    std::vector<ChannelStatus> channels;
    AllStatusMap all;
    const auto outcome = [&client](bool ok) { return ok ? std::string("ok") : client.statusText(); };
    return {outcome(client.fetchBossList(bosses)), outcome(client.fetchChannelStatus("b1", channels)),
            outcome(client.fetchAllStatus(all))};
}

static std::vector<uint64_t> traffic(const ApiClient& client) {
    const TrafficSnapshot s = client.trafficSnapshot();
    return {s.bytesReceivedTotal, s.bytesSentTotal,    s.lastBytesReceived,
            s.lastBytesSent,      s.reconnectAttempts, static_cast<uint64_t>(s.connectionState)};
}

// Every failed download is one outcome here (the ways a download fails are HttpGet's cases). The reason names
// the tracker's host; a client without a base URL makes no request and has none.
TEST(ApiClient, ReadsReportFailuresByMessageAndReason) {
    ApiClient refused(fixtureRoute({{"status", 404}, {"body", kBody}}));
    EXPECT_EQ(readAll(refused), (Outcomes{"Failed to fetch bosses - network error or empty response",
                                          "Failed to fetch channel status - network error or empty response",
                                          "Failed to fetch all status - network error or empty response"}));
    EXPECT_EQ(refused.failureReason(), "127.0.0.1: HTTP status 404");
    ApiClient html(fixtureRoute({{"body", "<html>"}}));
    EXPECT_EQ(readAll(html), (Outcomes{"Invalid JSON response from server", "Invalid JSON in channel status response",
                                       "Invalid JSON response from server"}));
    EXPECT_EQ(html.failureReason(), "127.0.0.1: answer is not tracker data");
    ApiClient empty(fixtureRoute({{"body", ""}}));
    readAll(empty);
    EXPECT_EQ(empty.failureReason(), "127.0.0.1: answer is not tracker data");
    ApiClient unset;
    readAll(unset);
    EXPECT_EQ(unset.failureReason(), "");
}

TEST(ApiClient, CountsWireBytesOfGzipBodies) {
    // A route name that makes the all-status URL 60 bytes long.
    const std::string name(60 - (fixtureOrigin("HTTP") + "/r//api/all_status").size(), 'c');
    const std::string base =
        fixtureRoute({{"body", kBody}, {"gzip", true}, {"headers", {{"Content-Encoding", "gzip"}}}}, name);
    ApiClient client(base);
    std::vector<BossInfo> bosses(3);
    std::vector<ChannelStatus> channels(3);
    AllStatusMap all = {{"old", {}}};
    ASSERT_TRUE(client.fetchAllStatus(all));
    const uint64_t wire = fixtureLog(base)[0]["body_bytes"];
    EXPECT_LT(wire, sizeof(kBody) - 1);
    EXPECT_EQ(traffic(client), (std::vector<uint64_t>{wire, 160, wire, 160, 0, 0}));
    ASSERT_TRUE(client.fetchBossList(bosses));  // counted in the totals only
    EXPECT_EQ(traffic(client), (std::vector<uint64_t>{2 * wire, 160 + 174, wire, 160, 0, 0}));
    ASSERT_TRUE(client.fetchChannelStatus("b1", channels));
    EXPECT_EQ(traffic(client), (std::vector<uint64_t>{3 * wire, 160 + 174 + 236, wire, 236, 0, 0}));
    EXPECT_EQ((std::vector<size_t>{all.count("old"), all.count("b1"), bosses.size(), channels.size()}),
              (std::vector<size_t>{0, 1, 1, 2}));

    fixtureRoute({{"status", 404}}, name);
    EXPECT_FALSE(client.fetchChannelStatus("b1", channels));
    EXPECT_EQ(traffic(client), (std::vector<uint64_t>{3 * wire, 160 + 174 + 236, 0, 0, 0, 0}));
    client.setBaseUrl("http://127.0.0.1:1");
    EXPECT_EQ(traffic(client), std::vector<uint64_t>(6, 0));
    EXPECT_EQ(client.statusText(), "");
}

// Ids are percent-encoded so that a quote or # cannot change the filter; ordinary ids pass byte for byte.
TEST(ApiClient, ChannelFilterCarriesTheIdEncoded) {
    const std::string base = fixtureRoute({{"body", kBody}});
    ApiClient client(base);
    std::vector<ChannelStatus> channels;
    EXPECT_FALSE(client.fetchChannelStatus("", channels));
    EXPECT_EQ(client.statusText(), "Invalid boss_id - cannot be empty");
    const std::pair<const char*, const char*> ids[] = {{"rec_8Xa.z~-09", "rec_8Xa.z~-09"},
                                                       {"o'neil#1 &=)%\xc3\xa9", "o%27neil%231%20%26%3D%29%25%C3%A9"}};
    for (const auto& [id, inFilter] : ids) {
        ASSERT_TRUE(client.fetchChannelStatus(id, channels)) << id;
        EXPECT_EQ(fixtureLog(base).back()["line"],
                  requestLine(base + "/api/collections/mob_channel_status/records?filter=(mob='" + inFilter +
                              "')&perPage=500&sort=-last_update"));
    }
    EXPECT_EQ(fixtureLog(base).size(), std::size(ids));  // none for the empty id
}

TEST(ApiClient, ServerCacheAge) {
    const std::string served = fixtureRoute({{"body", R"({"statistics":{"cache_age":86400}})"}, {"chunked", 3}});
    const std::string unread = fixtureRoute({{"body", "{}"}});
    // "earlier" when the probe leaves the status text alone.
    const std::tuple<std::string, double, const char*> cases[] = {
        {served, 86400.0, "earlier"},
        {fixtureRoute({{"body", " "}, {"repeat", (1 << 20) + 1}}), -1.0, "Response too large (> 1MB)"},
        {fixtureRoute({{"status", 503}, {"body", "{}"}}), -1.0, "HTTP error: status code 503"},
        {fixtureRoute({{"body", ""}}), -1.0, "Empty response from server"},
        {"", -1.0, "Base URL not initialized"},
        {unread + "/" + std::string(2048 - unread.size() - 11, 'p'), -1.0, "URL too long"},
        {"no scheme", -1.0, "Failed to parse URL"},
        {"http://", -1.0, "Invalid URL components"},
        {"http://127.0.0.1:1", -1.0, "Failed to send HTTP request"},
    };
    for (const auto& [baseUrl, age, message] : cases) {
        ApiClient client(baseUrl);
        client.setStatusText("earlier");
        EXPECT_EQ(client.fetchServerCacheAge(), age) << message;
        EXPECT_EQ(client.statusText(), message);
    }
    EXPECT_TRUE(fixtureLog(unread).empty());
}

TEST(ApiClient, WorkerAnnouncesTheConnectionState) {
    std::mutex lock;
    std::vector<ConnectionState> states;
    const auto record = [&](ConnectionState state) {
        std::lock_guard<std::mutex> guard(lock);
        states.push_back(state);
    };
    ApiClient client("http://127.0.0.1:1");
    ASSERT_TRUE(client.startWorker(record));
    ASSERT_TRUE(client.startWorker(record));  // already running: no second worker
    EXPECT_EQ(client.trafficSnapshot().connectionState, CONNECTION_CONNECTED);
    client.stopWorker();
    // The worker has ended, so everything it announced is recorded.
    EXPECT_EQ(states,
              (std::vector<ConnectionState>{CONNECTION_CONNECTED, CONNECTION_CONNECTED, CONNECTION_DISCONNECTED}));
    EXPECT_EQ(client.trafficSnapshot().connectionState, CONNECTION_DISCONNECTED);
    EXPECT_EQ(client.statusText(), "Stopped");
}

// A success clears the reason as it resets the count.
TEST(ApiClient, CountsSummaryFailuresInARowUntilOneSucceeds) {
    const std::string route = "summary-failures";
    ApiClient client(fixtureRoute({{"status", 500}}, route));
    AllStatusMap result;
    const std::tuple<json, uint32_t, const char*> steps[] = {
        {{{"status", 500}}, 1, "127.0.0.1: HTTP status 500"},
        {{{"body", "<html>"}}, 2, "127.0.0.1: answer is not tracker data"},
        {{{"body", kBody}}, 0, ""},
        {{{"status", 404}}, 1, "127.0.0.1: HTTP status 404"}};
    for (const auto& [answer, attempts, reason] : steps) {
        fixtureRoute(answer, route);
        client.fetchAllStatus(result);
        EXPECT_EQ(client.trafficSnapshot().reconnectAttempts, attempts) << answer.dump();
        EXPECT_EQ(client.failureReason(), reason);
    }
    // Other reads do not count.
    std::vector<BossInfo> bosses;
    client.fetchBossList(bosses);
    EXPECT_EQ(client.trafficSnapshot().reconnectAttempts, 1u);
}
