#pragma once

#include <chrono>
#include <memory>

#include "model/LiveModel.h"
#include "net/TrackerSource.h"

struct PollerTiming {
    std::chrono::milliseconds slice{50};  // the stop flag is checked after every slice
    int slicesAfterFailure = 20;
    int slicesAfterCycle = 10;
};

// Merges the all-status summary and the server's cache age into the model about twice a second
// until the stop flag is set. Failures leave the channels as they were and are retried next cycle.
class AllStatusPoller {
public:
    AllStatusPoller(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source, PollerTiming timing = {});

    void run();

private:
    bool fetchSummary(AllStatusMap& summary);
    double fetchCacheAge();

    std::shared_ptr<LiveModel> model_;
    std::shared_ptr<TrackerSource> source_;
    PollerTiming timing_;
};
