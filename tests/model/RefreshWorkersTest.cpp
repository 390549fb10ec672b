#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "base/StopSignal.h"
#include "model/AllStatusPoller.h"
#include "model/BossListLoader.h"
#include "model/RefreshWorkers.h"
#include "net/TrackerPaths.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Holds the reads it is given until opened, like a tracker that stopped answering mid-request.
struct Gate {
    StopSignal opened;
    std::atomic<int> waiting{0};
    void hold() { ++waiting, opened.wait(); }
};

// Each read ("list", a boss id, "all", "age") takes the next outcome of its script: 'f' fails with the reason
// "h: <read>", 'n' fails without a request (and so without a reason), 't' throws, 'm' runs out of memory, else it
// succeeds ('u': the summary was unchanged). Read `stopAfter` stops `stops` from inside, as a window closing mid-request would; `held` waits at `gate`.
// `calls` lists the reads made, an id of the longest request path's length as "long" (in reasons too).
struct ScriptedTracker : TrackerSource {
    ScriptedTracker(std::shared_ptr<LiveModel> stopping, size_t stopAfterReads, std::string heldRead = "",
                    std::shared_ptr<Gate> heldAt = nullptr)
        : stopAfter(stopAfterReads), stops(std::move(stopping)), held(std::move(heldRead)), gate(std::move(heldAt)) {}
    std::map<std::string, std::string> script;
    std::vector<BossInfo> bosses{{"a", "A", 1, 10, ""}};
    AllStatusMap channels, summary;  // channels per boss id
    double cacheAge = 2.5, age = -1.0;
    size_t reads = 0, stopAfter = 0;
    std::shared_ptr<LiveModel> stops;
    std::string held;
    std::shared_ptr<Gate> gate;
    std::string calls, reason;

    bool fetchBossList(std::vector<BossInfo>& out) override { return answer("list", out, bosses); }
    bool fetchChannelStatus(const std::string& id, std::vector<ChannelStatus>& out) override {
        return answer(id, out, channels[id]);
    }
    SummaryRead fetchAllStatus(AllStatusMap& out) override {
        const bool unchanged = script["all"].rfind('u', 0) == 0;
        if (!answer("all", out, unchanged ? out : summary)) return SummaryRead::Failed;
        return unchanged ? SummaryRead::Unchanged : SummaryRead::Changed;
    }
    double fetchServerCacheAge() override { return answer("age", age, cacheAge) ? age : -1.0; }
    std::chrono::seconds summaryFreshFor() const override { return std::chrono::seconds(1); }
    std::string failureReason() const override { return reason; }

    template <typename T>
    bool answer(const std::string& read, T& out, const T& value) {
        const std::string name = read.size() == kLongestRequestPath ? "long" : read;
        calls += (calls.empty() ? "" : " ") + name;
        std::string& outcomes = script[read];
        const char outcome = outcomes.empty() ? 'o' : outcomes[0];
        if (!outcomes.empty()) outcomes.erase(0, 1);
        if (++reads == stopAfter) stops->requestStop();
        if (read == held) gate->hold();
        if (outcome == 't') throw std::runtime_error("scripted failure");
        if (outcome == 'm') throw std::bad_alloc();
        if (read != "age") reason = outcome == 'f' ? "h: " + name : "";
        if (outcome == 'f' || outcome == 'n') return false;
        out = value;
        return true;
    }
};

std::vector<ChannelStatus> numbered(std::initializer_list<int32_t> numbers) {
    std::vector<ChannelStatus> channels(numbers.size());
    for (size_t i = 0; i < channels.size(); ++i) channels[i].channelNumber = numbers.begin()[i];
    return channels;
}

// The channel map as "id=boss name[channels]!its read's failure ...", e.g. "a=A[12] zz=[7]!h: zz".
std::string describe(const ModelData& data) {
    std::string text;
    for (const auto& [id, entry] : data.channelMap) {
        text += (text.empty() ? "" : " ") + (id.size() == kLongestRequestPath ? "long" : id) + "=" + entry.boss.name + "[";
        for (const ChannelStatus& channel : entry.channels) text += std::to_string(channel.channelNumber);
        text += "]" + (entry.readFailure.empty() ? "" : "!" + entry.readFailure);
    }
    return text;
}

bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    bool met = false;
    while (!(met = condition()) && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(1));
    return met;
}

}  // namespace

TEST(BossListLoader, ReportsTheListThenReadsEachBossAFewTimes) {
    struct Case {
        const char *name, *listScript, *bScript;
        size_t stopAfter;  // 0: never
        const char *expectedCalls, *expectedMap;
        bool loaded;  // the list reached the model and the end was reported, once
        const char* reason;
        int notices;                  // failures, and successes that clear a reason
        bool firstIdTooLong = false;  // "long": an id no request path holds; its read always fails
    };
    // The poller got there first: its entry for b ("b=[99]") receives the boss and keeps its fresher channels.
    // "|" in the calls marks the list's report.
    const std::string longId(kLongestRequestPath, 'a');
    const Case cases[] = {
        {"an id too long is asked once, noted and left to the summary", "", "", 0, "list | long b c",
         "long=[]!h: long b=B[99] c=C[]", true, "", 1, true},
        {"retries until they answer", "fto", "fto", 0, "list list list | a b b b c", "a=A[12] b=B[99] c=C[]", true, "",
         5},
        {"a boss that keeps failing is passed after three tries, with its reason", "", "ffff", 0, "list | a b b b c",
         "a=A[12] b=[99]!h: b c=C[]", true, "", 1},
        {"stop while the list fails: nothing stored", "ff", "", 2, "list list", "b=[99]", false, "h: list", 2},
        {"stop as the list arrives: not stored", "", "", 1, "list", "b=[99]", false, "", 0},
        {"stop during a boss's retries", "", "ff", 3, "list | a b", "a=A[12] b=[99]!h: b", true, "", 1},
        {"stop as a boss arrives keeps it", "", "", 3, "list | a b", "a=A[12] b=B[99]", true, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = std::make_shared<LiveModel>();
        AllStatusMap pollerFirst{{"b", numbered({99})}};
        model->mergeAllStatus(pollerFirst, -1.0, milliseconds(0));
        int notices = 0;
        model->setChangeListener([&notices] { ++notices; });
        auto tracker = std::make_shared<ScriptedTracker>(model, c.stopAfter);
        tracker->script = {{"list", c.listScript}, {"b", c.bScript}, {longId, "ff"}};
        const std::string firstId = c.firstIdTooLong ? longId : "a";
        tracker->bosses = {{firstId, "A", 0, 15, ""}, {"b", "B", 0, 15, ""}, {"c", "C", 0, 15, ""}};
        tracker->channels = {{"a", numbered({1, 2})}, {"b", numbered({3})}, {"c", {}}};
        int loaded = 0;
        const auto onLoaded = [&loaded, &tracker] { ++loaded, tracker->calls += " |"; };
        BossListLoader(model, tracker, onLoaded, LoaderTiming{milliseconds(1)}).run();
        EXPECT_EQ(tracker->calls, c.expectedCalls);
        EXPECT_EQ(loaded, c.loaded ? 1 : 0);
        EXPECT_EQ(model->read(describe), c.expectedMap);
        EXPECT_EQ(model->read([](const ModelData& data) { return data.bossList.size(); }), c.loaded ? 3u : 0u);
        EXPECT_EQ(model->read([](const ModelData& data) { return data.failureReason; }), c.reason);
        EXPECT_EQ(notices, c.notices);
        EXPECT_EQ(model->read([](const ModelData& data) { return data.activityIndex; }), 1) << "no loader merges";
    }
}

TEST(AllStatusPoller, MergesEachSummaryAndStoresTheCacheAge) {
    struct Case {
        const char* name;
        AllStatusMap summary;
        const char *allScript, *ageScript;
        size_t stopAfter;
        const char* expectedMap;
        int merges;
        double expectedAge;
        const char* reason;     // the last failure's that gave one, until a success
        int notices;            // merges with their age, failures with a reason, a reason cleared, other cache ages:
                                // what wakes the window
        size_t earlierIds = 0;  // ids an earlier summary named, neither listed nor named now
        const char* calls = nullptr;  // unless every read is followed by an age read
    };
    const AllStatusMap named{{"a", numbered({7})}, {"zz", numbered({1, 2})}};
    const char *unchanged = "a=A[12] b=B[3]", *merged = "a=A[7] b=B[3] zz=[12]";
    const Case cases[] = {
        {"replaces named bosses, keeps others, adds unknown", named, "", "", 2, merged, 1, 2.5, "", 1},
        {"failing and throwing change nothing; a throwing probe stores -1", named, "ft", "ot", 4, unchanged, 0, -1.0,
         "h: all", 4},
        {"empty summaries are merges; the index cycles through three", {}, "ofooo", "", 10, unchanged, 4, 2.5, "", 7},
        {"a stop during a failing read still asks for the age", named, "f", "", 1, unchanged, 0, 2.5, "h: all", 2},
        {"a read that made no request keeps the reason and, with no age, asks again soon", named, "fnf", "", 4,
         unchanged, 0, 2.5, "h: all", 4, 0, "all age all all age"},
        {"out of memory for an answer: a failure with its reason, the channels kept", named, "om", "", 4, merged, 1,
         2.5, kOutOfMemoryReason, 3},
        {"past the id limit, ids neither listed nor named go", named, "", "", 2, merged, 1, 2.5, "", 1,
         kMostChannelMapIds},
        {"unchanged summaries merge nothing, say nothing and skip the age for a while", named, "ouu", "", 4, merged, 1,
         2.5, "", 1, 0, "all age all all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = std::make_shared<LiveModel>();
        model->storeBoss({"a", "A", 0, 0, ""}, numbered({1, 2}));
        model->storeBoss({"b", "B", 0, 0, ""}, numbered({3}));
        model->storeBossList({{"a", "A", 0, 0, ""}, {"b", "B", 0, 0, ""}});
        for (size_t i = 0; i < c.earlierIds; ++i) model->storeBoss({"old" + std::to_string(i), "", 0, 0, ""}, {});
        int notices = 0;
        model->setChangeListener([&notices] { ++notices; });
        auto tracker = std::make_shared<ScriptedTracker>(model, c.stopAfter);
        tracker->script = {{"all", c.allScript}, {"age", c.ageScript}};
        tracker->summary = c.summary;
        // Each summary says it stays as it is for a second, of which 10 ms are trusted.
        PollerTiming timing{milliseconds(20), milliseconds(10)};
        timing.longestFreshPause = milliseconds(10);
        AllStatusPoller(model, tracker, timing).run();
        // Every attempt, the last one too, is followed by a cache-age read.
        std::string expectedCalls;
        for (size_t n = 0; n < c.stopAfter; n += 2) expectedCalls += n ? " all age" : "all age";
        EXPECT_EQ(tracker->calls, c.calls ? c.calls : expectedCalls);
        EXPECT_EQ(model->takeDataUpdated(), c.merges > 0);
        EXPECT_EQ(model->read(describe), c.expectedMap);  // known bosses keep theirs, new ids get none
        EXPECT_EQ(model->read([](const ModelData& data) { return data.activityIndex; }), c.merges % 3);
        EXPECT_EQ(model->read([](const ModelData& data) { return data.serverCacheAge; }), c.expectedAge);
        EXPECT_EQ(model->read([](const ModelData& data) { return data.failureReason; }), c.reason);
        EXPECT_EQ(notices, c.notices);
        // While the last read failed, the tracker's word on freshness counts for nothing.
        EXPECT_EQ(model->read([](const ModelData& data) { return data.summaryFresh; }),
                  milliseconds(*c.reason ? 0 : 10));
        const uint32_t reads = model->read([](const ModelData& data) { return data.summaryReads; });
        EXPECT_EQ(reads, c.merges + std::count(c.allScript, c.allScript + std::strlen(c.allScript), 'u'));
    }
}

TEST(PollerTiming, WaitsAsLongAsTheTrackerSaysItsSummaryStaysWithinBounds) {
    const PollerTiming timing;  // half a second after a cycle, at most 2 s
    struct Case {
        const char* name;
        milliseconds fresh, pause, trusted;
    };
    const Case cases[] = {
        {"nothing said", milliseconds(0), milliseconds(500), milliseconds(0)},
        {"fresh for a while", milliseconds(1500), milliseconds(1500), milliseconds(1500)},
        {"fresh for longer than the longest wait", milliseconds(60000), milliseconds(2000), milliseconds(2000)},
        {"its freshness spent during the cycle", milliseconds(-300), milliseconds(500), milliseconds(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(timing.pauseAfterCycle(c.fresh), c.pause);
        EXPECT_EQ(timing.trustedFresh(c.fresh), c.trusted);
    }
}

// Run under AddressSanitizer: a worker whose request returns after its owner is gone writes into
// the model and calls the callback it shares, never into freed memory.
TEST(RefreshWorkers, ShutdownJoinsWithinTheBudgetOrLeavesAHungWorkerItsShare) {
    // Name, the read that hangs, the loader's reports before the shutdown and in the end.
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"nothing hangs: both joined", "", 1, 1},
        {"poller inside a summary: merges it after the owner is gone", "all", 1, 1},
        {"loader inside a boss: reported the list, stores the boss after the owner is gone", "a", 1, 1},
    };
    const milliseconds budget(300);
    for (const auto& [name, held, loadedBeforeShutdown, loadedAtEnd] : cases) {
        SCOPED_TRACE(name);
        const bool hangs = *held != '\0';
        auto gate = std::make_shared<Gate>();
        auto loaded = std::make_shared<std::atomic<int>>(0);
        auto model = std::make_shared<LiveModel>();
        const std::weak_ptr<LiveModel> weakModel = model;
        auto workers = RefreshWorkers::start(
            model, std::make_shared<ScriptedTracker>(nullptr, 0, held, gate),
            std::make_shared<ScriptedTracker>(nullptr, 0, held, gate), [loaded] { ++*loaded; },
            RefreshTiming{{milliseconds(5)}, {milliseconds(40), milliseconds(20)}, budget});
        ASSERT_NE(workers, nullptr);
        // Without a hang, wait for a merge as well, so that both workers are running at the shutdown.
        ASSERT_TRUE(waitFor([&] {
            return *loaded == loadedBeforeShutdown && (hangs ? gate->waiting == 1 : model->takeDataUpdated());
        }));
        model.reset();
        const auto start = Clock::now();
        workers.reset();
        const Clock::duration destruction = Clock::now() - start;
        EXPECT_EQ(destruction >= budget, hangs);
        EXPECT_LT(destruction, budget + milliseconds(2000));
        EXPECT_EQ(weakModel.expired(), !hangs) << "only a hung worker still shares the model";

        gate->opened.request();
        EXPECT_TRUE(waitFor([&] { return weakModel.expired(); }));
        EXPECT_EQ(*loaded, loadedAtEnd);
    }
}

TEST(RefreshWorkers, AThreadThatCannotStartLeavesNothingRunning) {
    const milliseconds budget(2000);
    for (const int failingStart : {1, 2}) {
        SCOPED_TRACE(failingStart);
        int starts = 0;
        const ThreadStarter starter = [&](std::function<void()> body) {
            if (++starts == failingStart)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        };
        auto model = std::make_shared<LiveModel>();
        // A tracker that never answers keeps a started loader retrying until it is told to stop.
        auto tracker = std::make_shared<ScriptedTracker>(nullptr, 0);
        tracker->script["list"] = std::string(100000, 'f');
        const std::weak_ptr<ScriptedTracker> weakTracker = tracker;
        const auto start = Clock::now();
        auto workers = RefreshWorkers::start(
            model, std::exchange(tracker, nullptr), std::make_shared<ScriptedTracker>(nullptr, 0), [] {},
            RefreshTiming{{milliseconds(1)}, {milliseconds(20), milliseconds(10)}, budget}, starter);
        EXPECT_EQ(workers, nullptr);
        EXPECT_LT(Clock::now() - start, budget);
        EXPECT_EQ(starts, failingStart);
        EXPECT_TRUE(model->stopRequested() || failingStart == 1);
        // Joined, not detached: the loader's share of its source is gone by the time start returns.
        EXPECT_TRUE(weakTracker.expired());
    }
}
