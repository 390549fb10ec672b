#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "ScriptedTracker.h"
#include "TestChannels.h"
#include "model/BossListLoader.h"

namespace {

BossInfo boss(const char* id, const char* name) {
    BossInfo b;
    b.id = id;
    b.name = name;
    b.respawnTime = 15;
    return b;
}

}  // namespace

TEST(BossListLoader, StoresTheListThenEachBossInTurn) {
    struct Case {
        const char* name;
        std::deque<Outcome> listOutcomes;
        std::map<std::string, std::deque<Outcome>> channelOutcomes;
        size_t stopAfterCalls;
        std::vector<std::string> expectedCalls;
        bool listStored;
        std::vector<std::string> bossesStored;  // entries whose boss the loader filled
        int expectedLoaded;
    };
    const Case cases[] = {
        {"retries the list and a failing boss until they answer",
         {Outcome::Fail, Outcome::Throw, Outcome::Ok},
         {{"b", {Outcome::Fail, Outcome::Throw, Outcome::Ok}}},
         0,
         {"list", "list", "list", "a", "b", "b", "b", "c"},
         true,
         {"a", "b", "c"},
         1},
        {"stop while the list keeps failing: nothing stored, no report",
         {Outcome::Fail, Outcome::Fail},
         {},
         2,
         {"list", "list"},
         false,
         {},
         0},
        {"stop as the list arrives: not stored, no report", {Outcome::Ok}, {}, 1, {"list"}, false, {}, 0},
        {"stop during a boss's retries still reports the end",
         {},
         {{"b", {Outcome::Fail, Outcome::Fail}}},
         3,
         {"list", "a", "b"},
         true,
         {"a"},
         1},
        {"stop as a boss arrives keeps it and reports", {}, {}, 3, {"list", "a", "b"}, true, {"a", "b"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = std::make_shared<LiveModel>();
        // The poller got there first: its entry for b must receive the boss, keep no stale channels.
        model->mergeAllStatus({{"b", {makeChannel(99)}}});

        auto tracker = std::make_shared<ScriptedTracker>();
        tracker->model = model.get();
        tracker->stopAfterCalls = c.stopAfterCalls;
        tracker->bosses = {boss("a", "Alpha"), boss("b", "Beta"), boss("c", "Gamma")};
        tracker->channels = {{"a", {makeChannel(1), makeChannel(2)}}, {"b", {makeChannel(3)}}, {"c", {}}};
        tracker->bossListOutcomes = c.listOutcomes;
        tracker->channelOutcomes = c.channelOutcomes;

        int loaded = 0;
        BossListLoader(
            model, tracker, [&loaded] { ++loaded; }, LoaderTiming{std::chrono::milliseconds(1)})
            .run();

        EXPECT_EQ(tracker->calls, c.expectedCalls);
        EXPECT_EQ(loaded, c.expectedLoaded);
        model->read([&](const ModelData& data) {
            EXPECT_EQ(data.bossList.size(), c.listStored ? 3u : 0u);
            if (c.listStored) {
                EXPECT_EQ(data.bossList[1].name, "Beta");
            }
            for (const std::string id : {"a", "b", "c"}) {
                SCOPED_TRACE(id);
                const auto entry = data.channelMap.find(id);
                if (std::find(c.bossesStored.begin(), c.bossesStored.end(), id) != c.bossesStored.end()) {
                    ASSERT_NE(entry, data.channelMap.end());
                    EXPECT_EQ(entry->second.boss.id, id);
                    EXPECT_EQ(channelNumbers(entry->second.channels), channelNumbers(tracker->channels[id]));
                } else if (id == "b") {
                    ASSERT_NE(entry, data.channelMap.end());
                    EXPECT_EQ(entry->second.boss.id, "");
                    EXPECT_EQ(channelNumbers(entry->second.channels), std::vector<int32_t>{99});
                } else {
                    EXPECT_EQ(entry, data.channelMap.end());
                }
            }
            // The loader's results reach the views through its report, not through the merge signals.
            EXPECT_EQ(data.activityIndex, 1);
            EXPECT_EQ(data.serverCacheAge, -1.0);
        });
    }
}
