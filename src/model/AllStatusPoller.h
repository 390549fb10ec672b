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
    // A tracker that says how long its summary stays as it is (HTTP's max-age) is not asked again before then, yet
    // at least this often, so that a tracker's change of mind (a world event before its cache expires) shows within
    // this. A tracker whose cache refreshes every 2 s is then asked once per refresh, within a second after it.
    std::chrono::milliseconds longestFreshPause{2000};

    // How much of a summary's stated freshness is trusted: the model keeps it, for the tray counts data as flowing
    // for that much longer.
    std::chrono::milliseconds trustedFresh(std::chrono::steady_clock::duration fresh) const;
    // The pause after a cycle whose summary the tracker said stays as it is for `fresh` more.
    std::chrono::milliseconds pauseAfterCycle(std::chrono::steady_clock::duration fresh) const;
};

// Merges the all-status summary and the server's cache age into the model about twice a second, or as often as the
// tracker says its summary may change, until the stop flag is set; a summary that changed nothing costs no merge.
// Failures leave the channels as they were and are retried next cycle; running out of memory for an answer or its
// merge is such a failure, with kOutOfMemoryReason as its reason.
class AllStatusPoller {
public:
    AllStatusPoller(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source, PollerTiming timing = {});

    void run();

private:
    enum class Fetched { Changed, Unchanged, Failure, NoRequest };
    Fetched fetchSummary(AllStatusMap& summary);
    bool merge(AllStatusMap& summary, double cacheAge, std::chrono::milliseconds fresh);
    double fetchCacheAge();

    std::shared_ptr<LiveModel> model_;
    std::shared_ptr<TrackerSource> source_;
    PollerTiming timing_;
};
