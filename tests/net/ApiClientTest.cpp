#include <gtest/gtest.h>

#include <chrono>

#include "AppMessages.h"
#include "net/ApiClient.h"
#include "net/HttpFixture.h"

namespace {

using nlohmann::json;

const char kBosses[] = R"({"items":[{"id":"b1","name":"Drake","uid":7,"respawn_time":30,"type":"boss"}]})";
const char kChannels[] =
    R"({"items":[{"channel_number":2,"last_hp":150,"last_update":"2025-03-01T12:00:00Z"},{"channel_number":1}]})";
const char kAllStatus[] = R"({"channel_status":{"b1":[{"channel_number":2,"last_hp":150}]}})";

// Every read against the same route: its result and the message it leaves.
struct ReadOutcome {
    bool bosses, channels, all;
    std::string bossMessage, channelMessage, allMessage;
};

ReadOutcome readAll(ApiClient& client) {
    ReadOutcome outcome;
    std::vector<BossInfo> bosses;
    std::vector<ChannelStatus> channels;
    AllStatusMap all;
    client.setStatusText("");
    outcome.bosses = client.fetchBossList(bosses);
    outcome.bossMessage = client.statusText();
    client.setStatusText("");
    outcome.channels = client.fetchChannelStatus("b1", channels);
    outcome.channelMessage = client.statusText();
    client.setStatusText("");
    outcome.all = client.fetchAllStatus(all);
    outcome.allMessage = client.statusText();
    return outcome;
}

TEST(ApiClient, ReadsReportFailuresByMessage) {
    HttpFixture fixture;
    struct Case {
        const char* name;
        json route;
        std::string bossMessage, channelMessage, allMessage;
    };
    const Case cases[] = {
        {"404",
         {{"status", 404}},
         "Failed to fetch bosses - network error or empty response",
         "Failed to fetch channel status - network error or empty response",
         "Failed to fetch all status - network error or empty response"},
        {"empty body",
         {{"body", ""}},
         "Failed to fetch bosses - network error or empty response",
         "Failed to fetch channel status - network error or empty response",
         "Failed to fetch all status - network error or empty response"},
        {"dropped mid-body",
         {{"body", std::string(5000, ' ') + "{}"}, {"drop_after", 3000}},
         "Failed to fetch bosses - network error or empty response",
         "Failed to fetch channel status - network error or empty response",
         "Failed to fetch all status - network error or empty response"},
        {"not JSON",
         {{"body", "<html>"}},
         "Invalid JSON response from server",
         "Invalid JSON in channel status response",
         "Invalid JSON response from server"},
        {"wrong shape",
         {{"body", R"({"data":[]})"}},
         "Unexpected response format - missing items array",
         "Missing items array in channel status response",
         "Unexpected response format - missing channel_status object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ApiClient client(fixture.route(c.route));
        const ReadOutcome outcome = readAll(client);
        EXPECT_FALSE(outcome.bosses || outcome.channels || outcome.all);
        EXPECT_EQ(outcome.bossMessage, c.bossMessage);
        EXPECT_EQ(outcome.channelMessage, c.channelMessage);
        EXPECT_EQ(outcome.allMessage, c.allMessage);
    }
}

TEST(ApiClient, ReadsDecodeGzipBodies) {
    HttpFixture fixture;
    const json gzip = {{"gzip", true}, {"headers", {{"Content-Encoding", "gzip"}}}};
    json bossRoute = gzip, channelRoute = gzip, allRoute = gzip;
    bossRoute["body"] = kBosses;
    channelRoute["body"] = kChannels;
    allRoute["body"] = kAllStatus;
    ApiClient bossClient(fixture.route(bossRoute)), channelClient(fixture.route(channelRoute)),
        allClient(fixture.route(allRoute));

    std::vector<BossInfo> bosses(3);
    ASSERT_TRUE(bossClient.fetchBossList(bosses));
    ASSERT_EQ(bosses.size(), 1u);
    EXPECT_EQ(bosses[0].id, "b1");
    EXPECT_EQ(bosses[0].respawnTime, 30);

    std::vector<ChannelStatus> channels(3);
    ASSERT_TRUE(channelClient.fetchChannelStatus("b1", channels));
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(channels[0].channelNumber, 1);
    EXPECT_EQ(channels[1].lastHp, 100);
    EXPECT_EQ(channels[1].lastUpdateTime, 1740830400);

    AllStatusMap all = {{"old", {}}};
    ASSERT_TRUE(allClient.fetchAllStatus(all));
    ASSERT_EQ(all.size(), 1u);
    ASSERT_EQ(all["b1"].size(), 1u);
    EXPECT_EQ(all["b1"][0].lastHp, 150);
}

TEST(ApiClient, ChannelFilterCarriesTheIdEncoded) {
    HttpFixture fixture;
    const std::string base = fixture.route({{"body", kChannels}});
    ApiClient client(base);
    std::vector<ChannelStatus> channels;
    ASSERT_TRUE(client.fetchChannelStatus("o'neil#1", channels));
    ASSERT_TRUE(client.fetchChannelStatus("rec_8Xa.z~", channels));
    EXPECT_FALSE(client.fetchChannelStatus("", channels));
    EXPECT_EQ(client.statusText(), "Invalid boss_id - cannot be empty");

    const json log = fixture.requests(base);
    ASSERT_EQ(log.size(), 2u);
    const std::string prefix = "GET " + base.substr(HttpFixture::origin().size()) +
                               "/api/collections/mob_channel_status/records?filter=(mob='";
    EXPECT_EQ(log[0]["line"], prefix + "o%27neil%231')&perPage=500&sort=-last_update HTTP/1.1");
    EXPECT_EQ(log[1]["line"], prefix + "rec_8Xa.z~')&perPage=500&sort=-last_update HTTP/1.1");
}

TEST(ApiClient, CountsTraffic) {
    HttpFixture fixture;
    // A route name that makes the all-status URL exactly 60 bytes long.
    const std::string name(60 - (HttpFixture::origin() + "/r//api/all_status").size(), 'c');
    std::string plain = R"({"channel_status":{"b1":[)";
    for (int i = 1; i <= 50; ++i) plain += (i > 1 ? "," : "") + (R"({"channel_number":)" + std::to_string(i)) + "}";
    plain += "]}}";
    const std::string base =
        fixture.route({{"body", plain}, {"gzip", true}, {"headers", {{"Content-Encoding", "gzip"}}}}, name);
    ApiClient client(base);

    AllStatusMap all;
    ASSERT_TRUE(client.fetchAllStatus(all));
    const TrafficSnapshot first = client.trafficSnapshot();
    EXPECT_EQ(first.bytesSentTotal, 160u);
    EXPECT_EQ(first.lastBytesSent, 160u);
    ASSERT_EQ(all["b1"].size(), 50u);
    EXPECT_EQ(first.bytesReceivedTotal, fixture.requests(base)[0]["body_bytes"].get<uint64_t>());
    EXPECT_LT(first.bytesReceivedTotal, plain.size());
    EXPECT_EQ(first.lastBytesReceived, first.bytesReceivedTotal);

    std::vector<BossInfo> bosses;
    EXPECT_FALSE(client.fetchBossList(bosses));  // not a boss list, but downloaded and counted
    const TrafficSnapshot second = client.trafficSnapshot();
    EXPECT_EQ(second.bytesReceivedTotal, 2 * first.bytesReceivedTotal);
    EXPECT_EQ(second.bytesSentTotal, 160u + 174u);
    EXPECT_EQ(second.lastBytesSent, 160u);

    fixture.route({{"status", 404}}, name);
    std::vector<ChannelStatus> channels;
    EXPECT_FALSE(client.fetchChannelStatus("b1", channels));
    const TrafficSnapshot failed = client.trafficSnapshot();
    EXPECT_EQ(failed.bytesReceivedTotal, second.bytesReceivedTotal);
    EXPECT_EQ(failed.bytesSentTotal, second.bytesSentTotal);
    EXPECT_EQ(failed.lastBytesReceived, 0u);
    EXPECT_EQ(failed.lastBytesSent, 0u);
    EXPECT_EQ(failed.connectionState, CONNECTION_DISCONNECTED);
    EXPECT_EQ(failed.reconnectAttempts, 0u);

    client.setBaseUrl("http://127.0.0.1:1");
    const TrafficSnapshot reset = client.trafficSnapshot();
    EXPECT_EQ(reset.bytesReceivedTotal + reset.bytesSentTotal, 0u);
    EXPECT_EQ(client.statusText(), "");
}

TEST(ApiClient, EmptyBaseUrlFailsWithoutTraffic) {
    ApiClient client;
    AllStatusMap all;
    EXPECT_FALSE(client.fetchAllStatus(all));
    EXPECT_EQ(client.statusText(), "Failed to fetch all status - network error or empty response");
    EXPECT_EQ(client.trafficSnapshot().bytesSentTotal, 0u);
    EXPECT_EQ(client.fetchServerCacheAge(), -1.0);
    EXPECT_EQ(client.statusText(), "Base URL not initialized");
}

TEST(ApiClient, ServerCacheAge) {
    HttpFixture fixture;
    struct Case {
        const char* name;
        json route;
        double age;
        std::string message;  // "earlier" when the probe leaves the text alone
    };
    const Case cases[] = {
        {"12.5", {{"body", R"({"statistics":{"cache_age":12.5}})"}}, 12.5, "earlier"},
        {"86400", {{"body", R"({"statistics":{"cache_age":86400}})"}, {"chunked", 3}}, 86400.0, "earlier"},
        {"truncated", {{"body", R"({"statistics":{"cache_age":1)"}}, -1.0, "Invalid JSON response"},
        {"503", {{"status", 503}, {"body", "{}"}}, -1.0, "HTTP error: status code 503"},
        {"empty", {{"body", ""}}, -1.0, "Empty response from server"},
        {"over 1 MiB", {{"body", " "}, {"repeat", (1 << 20) + 1}}, -1.0, "Response too large (> 1MB)"},
        {"exactly 1 MiB",
         {{"body", std::string(R"({"statistics":{"cache_age":3}})") + std::string((1 << 20) - 30, ' ')}},
         3.0,
         "earlier"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string base = fixture.route(c.route);
        ApiClient client(base);
        client.setStatusText("earlier");
        EXPECT_EQ(client.fetchServerCacheAge(), c.age);
        EXPECT_EQ(client.statusText(), c.message);
        const json log = fixture.requests(base);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0]["line"], "GET " + base.substr(HttpFixture::origin().size()) + "/api/status HTTP/1.1");
        EXPECT_EQ(loggedHeader(log[0], "User-Agent"), "Zentrik/1.1");
        EXPECT_EQ(loggedHeader(log[0], "Accept-Encoding"), "");
    }
}

TEST(ApiClient, ServerCacheAgeRequestFailures) {
    HttpFixture fixture;
    const std::string route = fixture.route({{"body", R"({"statistics":{"cache_age":1}})"}});
    struct Case {
        std::string baseUrl;
        std::string message;
    };
    const Case cases[] = {
        {route + "/" + std::string(2048 - route.size() - 11, 'p'), "URL too long"},
        {"no scheme", "Failed to parse URL"},
        {"http://", "Invalid URL components"},
        {"http://127.0.0.1:1", "Failed to send HTTP request"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ApiClient client(c.baseUrl);
        EXPECT_EQ(client.fetchServerCacheAge(), -1.0);
        EXPECT_EQ(client.statusText(), c.message);
    }
    EXPECT_EQ(fixture.requests(route).size(), 0u);
}

// Collects the WM_CONNECTION_STATE values that reach a message-only window of this thread.
class StateWindow {
public:
    StateWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~StateWindow() { DestroyWindow(window_); }
    HWND handle() const { return window_; }

    // Pumps messages until `count` states arrived or two seconds passed.
    std::vector<WPARAM> waitFor(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (states_.size() < count && std::chrono::steady_clock::now() < deadline) {
            MSG msg;
            while (PeekMessageW(&msg, window_, 0, 0, PM_REMOVE))
                if (msg.message == WM_CONNECTION_STATE) states_.push_back(msg.wParam);
            Sleep(10);
        }
        return states_;
    }

private:
    HWND window_;
    std::vector<WPARAM> states_;
};

TEST(ApiClient, WorkerAnnouncesTheConnectionState) {
    StateWindow window;
    ASSERT_NE(window.handle(), nullptr);
    ApiClient client("http://127.0.0.1:1");
    client.startWorker(window.handle());
    client.startWorker(window.handle());
    EXPECT_EQ(window.waitFor(2), (std::vector<WPARAM>{CONNECTION_CONNECTED, CONNECTION_CONNECTED}));
    EXPECT_EQ(client.trafficSnapshot().connectionState, CONNECTION_CONNECTED);

    client.stopWorker();
    EXPECT_EQ(window.waitFor(3),
              (std::vector<WPARAM>{CONNECTION_CONNECTED, CONNECTION_CONNECTED, CONNECTION_DISCONNECTED}));
    EXPECT_EQ(client.trafficSnapshot().connectionState, CONNECTION_DISCONNECTED);
    EXPECT_EQ(client.statusText(), "Stopped");

    client.setBaseUrl("http://127.0.0.1:2");
    EXPECT_EQ(client.statusText(), "");
    client.startWorker(window.handle());
    EXPECT_EQ(window.waitFor(5).size(), 5u);
}

}  // namespace
