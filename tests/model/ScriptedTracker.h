#pragma once

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/LiveModel.h"
#include "net/TrackerSource.h"

enum class Outcome { Ok, Fail, Throw };

// A tracker that answers from a script, for driving a worker's run() on the test's own thread.
// Reads beyond the script succeed (cache age: -1.0). After `stopAfterCalls` calls it sets the
// model's stop flag from inside the call, as a window closing mid-request would.
struct ScriptedTracker : TrackerSource {
    LiveModel* model = nullptr;
    size_t stopAfterCalls = 0;

    std::vector<BossInfo> bosses;
    std::map<std::string, std::vector<ChannelStatus>> channels;
    std::deque<Outcome> bossListOutcomes;
    std::map<std::string, std::deque<Outcome>> channelOutcomes;
    std::deque<std::pair<Outcome, AllStatusMap>> summaries;
    std::deque<std::optional<double>> cacheAges;  // nullopt: the probe throws

    std::vector<std::string> calls;

    bool fetchBossList(std::vector<BossInfo>& out) override {
        out.clear();
        if (!succeeds(take(bossListOutcomes), "list")) return false;
        out = bosses;
        return true;
    }

    bool fetchChannelStatus(const std::string& bossId, std::vector<ChannelStatus>& out) override {
        out.clear();
        if (!succeeds(take(channelOutcomes[bossId]), bossId)) return false;
        out = channels[bossId];
        return true;
    }

    bool fetchAllStatus(AllStatusMap& out) override {
        out.clear();
        std::pair<Outcome, AllStatusMap> step{Outcome::Ok, {}};
        if (!summaries.empty()) {
            step = summaries.front();
            summaries.pop_front();
        }
        if (!succeeds(step.first, "all")) return false;
        out = step.second;
        return true;
    }

    double fetchServerCacheAge() override {
        std::optional<double> age = -1.0;
        if (!cacheAges.empty()) {
            age = cacheAges.front();
            cacheAges.pop_front();
        }
        if (!succeeds(age ? Outcome::Ok : Outcome::Throw, "age")) return -1.0;
        return *age;
    }

private:
    static Outcome take(std::deque<Outcome>& outcomes) {
        if (outcomes.empty()) return Outcome::Ok;
        const Outcome o = outcomes.front();
        outcomes.pop_front();
        return o;
    }

    bool succeeds(Outcome outcome, const std::string& call) {
        calls.push_back(call);
        if (calls.size() == stopAfterCalls) model->requestStop();
        if (outcome == Outcome::Throw) throw std::runtime_error("scripted failure");
        return outcome == Outcome::Ok;
    }
};
