#include <gtest/gtest.h>

#include <memory>

#include "ScriptedTracker.h"
#include "TestChannels.h"
#include "model/AllStatusPoller.h"

TEST(AllStatusPoller, MergesEachSummaryAndStoresTheCacheAge) {
    using Summary = std::pair<Outcome, AllStatusMap>;
    const Summary failed{Outcome::Fail, {}};
    const Summary thrown{Outcome::Throw, {}};
    const Summary empty{Outcome::Ok, {}};
    struct Case {
        const char* name;
        std::deque<Summary> summaries;
        std::deque<std::optional<double>> cacheAges;
        size_t stopAfterCalls;
        std::map<std::string, std::vector<int32_t>> expectedChannels;
        bool expectedUpdated;
        int32_t expectedIndex;
        double expectedAge;
    };
    const std::map<std::string, std::vector<int32_t>> unchanged{{"a", {1, 2}}, {"b", {3}}};
    const Case cases[] = {
        {"replaces named bosses whole, keeps the others, adds unknown ones",
         {{Outcome::Ok, {{"a", {makeChannel(7)}}, {"zz", {makeChannel(1), makeChannel(2)}}}}},
         {2.5},
         2,
         {{"a", {7}}, {"b", {3}}, {"zz", {1, 2}}},
         true,
         1,
         2.5},
        {"failed and throwing summaries change nothing; a throwing probe stores no age",
         {failed, thrown},
         {7.5, std::nullopt},
         4,
         unchanged,
         false,
         0,
         -1.0},
        {"empty summaries are merges and the index cycles through three",
         {empty, failed, empty, empty, empty},
         {},
         10,
         unchanged,
         true,
         1,
         -1.0},
        {"a stop during the failure pause still asks for the age", {failed}, {6.0}, 1, unchanged, false, 0, 6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = std::make_shared<LiveModel>();
        BossInfo alpha;
        alpha.id = "a";
        alpha.name = "Alpha";
        model->storeBoss(alpha, {makeChannel(1), makeChannel(2)});
        model->storeBoss(BossInfo{"b", "Beta", 0, 0, ""}, {makeChannel(3)});

        auto tracker = std::make_shared<ScriptedTracker>();
        tracker->model = model.get();
        tracker->stopAfterCalls = c.stopAfterCalls;
        tracker->summaries = c.summaries;
        tracker->cacheAges = c.cacheAges;

        AllStatusPoller(model, tracker, PollerTiming{std::chrono::milliseconds(1), 20, 10}).run();

        // Every attempt, the last one too, is followed by a cache-age request.
        std::vector<std::string> expectedCalls;
        while (expectedCalls.size() < c.stopAfterCalls) expectedCalls.insert(expectedCalls.end(), {"all", "age"});
        EXPECT_EQ(tracker->calls, expectedCalls);
        const bool updated = model->takeDataUpdated();
        EXPECT_EQ(updated, c.expectedUpdated);
        EXPECT_FALSE(model->takeDataUpdated());
        model->read([&](const ModelData& data) {
            EXPECT_EQ(data.activityIndex, c.expectedIndex);
            EXPECT_EQ(data.serverCacheAge, c.expectedAge);
            std::map<std::string, std::vector<int32_t>> channels;
            for (const auto& [id, entry] : data.channelMap) channels[id] = channelNumbers(entry.channels);
            EXPECT_EQ(channels, c.expectedChannels);
            // The poller never touches a boss: known ones keep theirs, new ones have none.
            for (const auto& [id, entry] : data.channelMap) {
                SCOPED_TRACE(id);
                EXPECT_EQ(entry.boss.id, id == "a" || id == "b" ? id : "");
            }
            EXPECT_EQ(data.channelMap.at("a").boss.name, "Alpha");
        });
    }
}
