#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "net/ApiClient.h"
#include "net/LocalFixtures_win.h"
#include "net/TrackerPaths.h"

using nlohmann::json;

// One body for every read: "items" serves both the boss list and the channel read, "statistics" the probe.
const char kBody[] = R"({"items":[{"id":"b1","name":"Drake","channel_number":2},{"channel_number":1}],
    "channel_status":{"b1":[{"last_hp":150}]},"statistics":{"cache_age":5}})";
const json kGzipHeader = {{"Content-Encoding", "gzip"}};

using Outcomes = std::array<std::string, 3>;
using Counts = std::vector<uint64_t>;

static bool readAllStatus(ApiClient& client) {
    AllStatusMap all;
    const SummaryRead read = client.fetchAllStatus(all);
    return read == SummaryRead::Unchanged || (read == SummaryRead::Changed && all.count("b1") == 1);
}

// What the boss-list, channel and all-status reads give: "ok", or the status text they leave.
static Outcomes readAll(ApiClient& client) {
    std::vector<BossInfo> bosses;
    std::vector<ChannelStatus> channels;
    const auto outcome = [&client](bool ok) { return ok ? std::string("ok") : client.statusText(); };
    return {outcome(client.fetchBossList(bosses)), outcome(client.fetchChannelStatus("b1", channels)),
            outcome(readAllStatus(client))};
}

static Counts traffic(const ApiClient& client) {
    const TrafficSnapshot s = client.trafficSnapshot();
    return {s.bytesReceivedTotal, s.bytesSentTotal,    s.lastBytesReceived,
            s.lastBytesSent,      s.reconnectAttempts, static_cast<uint64_t>(s.connectionState)};
}

// Each answer in turn, read by all three reads: what each gives, the reason shown (naming the tracker's host) and the
// summary's failures in a row, which only the summary counts and its success resets along with the reason. Which
// message a decoder gives is the decoders' tests' concern.
TEST(ApiClient, ReadsReportFailuresAndTheSummaryCountsThemUntilOneSucceeds) {
    const Outcomes unread = {"Failed to fetch bosses - network error or empty response",
                             "Failed to fetch channel status - network error or empty response",
                             "Failed to fetch all status - network error or empty response"};
    const Outcomes invalid = {"Invalid JSON response from server", "Invalid JSON in channel status response",
                              "Invalid JSON response from server"};
    const char* notData = "127.0.0.1: answer is not tracker data";
    const std::tuple<json, Outcomes, const char*, uint32_t> steps[] = {
        {{{"status", 404}, {"body", kBody}}, unread, "127.0.0.1: HTTP status 404", 1},
        {{{"body", "<html>"}}, invalid, notData, 2},
        {{{"body", ""}}, unread, notData, 3},
        // About 10 MiB on the wire that would inflate to nearly 10 GiB: refused at its first byte.
        {{{"bomb_mib", 10100}, {"headers", kGzipHeader}}, invalid, notData, 4},
        {{{"body", kBody}}, {"ok", "ok", "ok"}, "", 0},
        {{{"status", 500}}, unread, "127.0.0.1: HTTP status 500", 1},
    };
    ApiClient client(fixtureRoute(std::get<0>(steps[0]), "failures"));
    for (const auto& [answer, outcomes, reason, failuresInARow] : steps) {
        SCOPED_TRACE(answer.dump());
        fixtureRoute(answer, "failures");
        EXPECT_EQ(readAll(client), outcomes);
        EXPECT_EQ(client.failureReason(), reason);
        EXPECT_EQ(client.trafficSnapshot().reconnectAttempts, failuresInARow);
    }
    ApiClient unset;  // makes no request, so has no reason
    readAll(unset);
    EXPECT_EQ(unset.failureReason(), "");
}

TEST(ApiClient, CountsWireBytesOfGzipBodies) {
    // A route name that makes the all-status URL 60 bytes long.
    const std::string name(60 - (fixtureOrigin("HTTP") + "/r//api/all_status").size(), 'c');
    const std::string base = fixtureRoute({{"body", kBody}, {"gzip", true}, {"headers", kGzipHeader}}, name);
    ApiClient client(base);
    std::vector<BossInfo> bosses(3);
    std::vector<ChannelStatus> channels(3);
    AllStatusMap all = {{"old", {}}};
    ASSERT_EQ(client.fetchAllStatus(all), SummaryRead::Changed);
    const uint64_t wire = fixtureLog(base)[0]["body_bytes"];
    EXPECT_LT(wire, sizeof(kBody) - 1);
    EXPECT_EQ(traffic(client), (Counts{wire, 160, wire, 160, 0, 0}));
    ASSERT_TRUE(client.fetchBossList(bosses));  // counted in the totals only
    EXPECT_EQ(traffic(client), (Counts{2 * wire, 160 + 174, wire, 160, 0, 0}));
    ASSERT_TRUE(client.fetchChannelStatus("b1", channels));
    EXPECT_EQ(traffic(client), (Counts{3 * wire, 160 + 174 + 236, wire, 236, 0, 0}));
    EXPECT_EQ((Counts{all.count("old"), all.count("b1"), bosses.size(), channels.size()}), (Counts{0, 1, 1, 2}));

    fixtureRoute({{"status", 404}}, name);
    EXPECT_FALSE(client.fetchChannelStatus("b1", channels));
    EXPECT_EQ(traffic(client), (Counts{3 * wire, 160 + 174 + 236, 0, 0, 0, 0}));
    client.setBaseUrl("http://127.0.0.1:1");
    EXPECT_EQ(traffic(client), Counts(6, 0));
    EXPECT_EQ(client.statusText(), "");
}

// A summary read asks with the validators of the last 200 (If-None-Match on the wire); a 304 to that, or a 200 whose
// bytes repeat the last one, is a success that changed nothing and counts no body bytes, and keeps its connection for
// the next read. A failure or another tracker forgets them, and a 304 to a request that asked nothing is a failure.
// Either answer's max-age less its Age says how long the summary stays as it is; a failure says nothing.
TEST(ApiClient, SummaryReadsAskWhetherAnythingChanged) {
    const json tagged = {{"body", kBody},
                         {"headers", {{"ETag", "\"v1\""}, {"Cache-Control", "max-age=5"}, {"Age", "2"}}},
                         {"keep_alive", true}};
    const json fresh = {{"Cache-Control", "max-age=4"}};
    const std::tuple<json, SummaryRead, const char*, bool, int> steps[] = {
        {tagged, SummaryRead::Changed, nullptr, true, 3},
        {{{"status", 304}, {"keep_alive", true}, {"headers", fresh}}, SummaryRead::Unchanged, "\"v1\"", false, 4},
        {tagged, SummaryRead::Unchanged, "\"v1\"", true, 3},
        {{{"status", 500}, {"headers", fresh}}, SummaryRead::Failed, "\"v1\"", false, 0},
        {{{"status", 304}}, SummaryRead::Failed, nullptr, false, 0},
        {tagged, SummaryRead::Changed, nullptr, true, 3},
    };
    const std::string base = fixtureRoute(tagged, "conditional");
    ApiClient client(base);
    std::vector<int> ports;
    for (const auto& [answer, read, sent, bodyCounted, freshSeconds] : steps) {
        SCOPED_TRACE(answer.dump());
        fixtureRoute(answer, "conditional");
        AllStatusMap all;
        EXPECT_EQ(client.fetchAllStatus(all), read);
        EXPECT_EQ(client.summaryFreshFor(), std::chrono::seconds(freshSeconds));
        const json request = fixtureLog(base).at(0);
        EXPECT_EQ(request["headers"].value("if-none-match", ""), sent ? sent : "");
        EXPECT_EQ(client.trafficSnapshot().lastBytesReceived != 0, bodyCounted);
        ports.push_back(request["client_port"].get<int>());
    }
    EXPECT_EQ(ports[2], ports[1]) << "the read after a 304 opened a new connection";
    client.setBaseUrl(base);
    AllStatusMap all;
    EXPECT_EQ(client.fetchAllStatus(all), SummaryRead::Changed) << "another tracker is asked afresh";
}

// Ids are percent-encoded so that a quote or # cannot change the filter; ordinary ids pass byte for byte. An id that
// would make the request path longer than the client can send is refused before any request, with a reason the player
// sees; one that just fits is read from the demo tracker, which serves at its origin, with no path before ours.
TEST(ApiClient, ChannelReadCarriesTheIdEncodedOrRefusesIt) {
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

    const std::size_t room = kLongestRequestPath - channelStatusPath("").size();
    const std::string tooLong = "127.0.0.1: boss id too long for a request";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(room, 'a'), ""},
        {std::string(room + 1, 'a'), tooLong},
        {std::string(room / 3 + 1, ' '), tooLong},  // fits until percent-encoded
    };
    for (const auto& [id, reason] : cases) {
        SCOPED_TRACE(id.size());
        client.setBaseUrl(fixtureOrigin("TRACKER"));
        EXPECT_EQ(client.fetchChannelStatus(id, channels), reason.empty());
        EXPECT_EQ(client.failureReason(), reason);
        EXPECT_EQ(client.trafficSnapshot().lastBytesSent != 0, reason.empty()) << "no request for a refused id";
    }
}

// What the probe gives ("earlier" if it leaves the status text alone), or why a summary read failed, and how soon; all
// rows run at once. A server silent before or after the headers is given up on after the receive time-out (3 s for
// the probe, 10 s for data); a body trickled byte by byte never lets a read time out, so it takes four.
TEST(ApiClient, ProbeAndSummaryGiveUpInTime) {
    const std::string status = R"({"statistics":{"cache_age":1}})";
    const std::string headersOnly = fixtureRoute({{"body", status}, {"stall_after", 0}});
    const std::string unread = fixtureRoute({{"body", "{}"}});
    struct Case {
        std::string baseUrl;
        const char* result;
        double fewestSeconds, mostSeconds;
        bool summary = false;
    };
    const Case cases[] = {
        {fixtureRoute({{"body", R"({"statistics":{"cache_age":86400}})"}, {"chunked", 3}}), "86400 earlier", 0, 5},
        {fixtureRoute({{"body", " "}, {"repeat", (1 << 20) + 1}}), "-1 Response too large (> 1MB)", 0, 5},
        {fixtureRoute({{"status", 503}, {"body", "{}"}}), "-1 HTTP error: status code 503", 0, 5},
        {fixtureRoute({{"body", ""}}), "-1 Empty response from server", 0, 5},
        {"", "-1 Base URL not initialized", 0, 5},
        {unread + "/" + std::string(2048 - unread.size() - 11, 'p'), "-1 URL too long", 0, 5},
        {"no scheme", "-1 Failed to parse URL", 0, 5},
        {"http://", "-1 Invalid URL components", 0, 5},
        {"http://127.0.0.1:1", "-1 Failed to send HTTP request", 0, 5},
        {headersOnly, "-1 Empty response from server", 2.5, 5},
        {fixtureRoute({{"body", status}, {"stall_after", 10}}), "-1 Invalid JSON response", 2.5, 5},
        {fixtureRoute({{"body", std::string(170, ' ') + status}, {"trickle_ms", 250}}), "-1 Invalid JSON response",
         11.5, 15},
        {headersOnly, "127.0.0.1: no answer in time", 9.5, 13, true},
        {fixtureRoute({{"body", status}, {"delay_ms", 30000}}), "127.0.0.1: no answer in time", 9.5, 13, true},
    };
    std::vector<std::future<std::pair<std::string, double>>> outcomes;
    for (const Case& c : cases) {
        outcomes.push_back(std::async(std::launch::async, [&c] {
            const auto start = std::chrono::steady_clock::now();
            ApiClient client(c.baseUrl);
            client.setStatusText("earlier");
            std::ostringstream result;
            if (c.summary)
                result << (readAllStatus(client) ? "read" : client.failureReason());
            else
                result << client.fetchServerCacheAge() << " " << client.statusText();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            return std::make_pair(result.str(), took.count());
        }));
    }
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto [result, seconds] = outcomes[i].get();
        EXPECT_EQ(result, cases[i].result);
        EXPECT_TRUE(seconds >= cases[i].fewestSeconds && seconds <= cases[i].mostSeconds) << seconds;
    }
    EXPECT_TRUE(fixtureLog(unread).empty());
}

// Two poll cycles on one client: whatever the server does with the connection between requests, every read succeeds
// and each kind of request goes out as on fresh connections. Each row: the route, the pause between the cycles, and
// the TCP connections in all (0 when that depends on which one WinHTTP had pooled).
TEST(ApiClient, KeptConnectionReadsWhateverTheServerDoesWithIt) {
    const std::tuple<json, int, std::size_t> cases[] = {
        {{{"keep_alive", true}}, 0, 1},
        {{{"keep_alive", true}, {"idle_close_ms", 1000}}, 1500, 0},
        {{{"keep_alive", true}, {"reset_reused", true}}, 0, 0},
    };
    for (auto [route, pauseMs, connections] : cases) {
        SCOPED_TRACE(route.dump());
        route["body"] = kBody;
        const std::string base = fixtureRoute(route);
        ApiClient client(base);
        for (int cycle = 0; cycle < 2; ++cycle) {
            if (cycle > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            EXPECT_TRUE(readAllStatus(client)) << client.statusText();
            EXPECT_EQ(client.fetchServerCacheAge(), 5.0) << client.statusText();
        }
        EXPECT_EQ(client.statusText(), "");
        // The kinds of request, as "line agent accept-encoding", and the client ports (one per TCP connection).
        std::set<std::string> requests;
        std::set<int> ports;
        for (const json& entry : fixtureLog(base)) {
            const json& headers = entry["headers"];
            requests.insert(entry["line"].get<std::string>() + " " + headers.value("user-agent", "") + " " +
                            headers.value("accept-encoding", ""));
            ports.insert(entry["client_port"].get<int>());
        }
        EXPECT_EQ(requests, (std::set<std::string>{requestLine(base + "/api/all_status") + " Zentrik/1.0 gzip",
                                                   requestLine(base + "/api/status") + " Zentrik/1.1 "}));
        if (connections > 0) {
            EXPECT_EQ(ports.size(), connections);
        }
    }
}
