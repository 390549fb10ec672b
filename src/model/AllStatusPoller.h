#pragma once

#include <chrono>
#include <memory>

#include "model/LiveModel.h"
#include "net/TrackerSource.h"

struct PollerTiming {
    std::chrono::milliseconds afterFailure{1000};  // on top of the pause after every cycle
    std::chrono::milliseconds afterCycle{500};
    // While the source has no tracker yet: it gets one with the boss list, and the first rows wait for nothing else.
    std::chrono::milliseconds untilTracker{50};
    // The cache age is asked with every changed or failed summary; while nothing changes the shown age grows with
    // the clock, and is asked again after this long so that it never drifts far.
    std::chrono::milliseconds cacheAgeEvery{5000};
};

// Merges the all-status summary and the server's cache age into the model about twice a second
// until the stop flag is set; a summary that changed nothing costs no merge. Failures leave the channels as they were and are retried next cycle; running out
// of memory for an answer or its merge is such a failure, with kOutOfMemoryReason as its reason.
class AllStatusPoller {
public:
    AllStatusPoller(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source, PollerTiming timing = {});

    void run();

private:
    enum class Fetched { Changed, Unchanged, Failure, NoRequest };
    Fetched fetchSummary(AllStatusMap& summary);
    bool merge(AllStatusMap& summary);
    double fetchCacheAge();

    std::shared_ptr<LiveModel> model_;
    std::shared_ptr<TrackerSource> source_;
    PollerTiming timing_;
};
