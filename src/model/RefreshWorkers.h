#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "base/WorkerThread.h"
#include "model/AllStatusPoller.h"
#include "model/BossListLoader.h"
#include "model/LiveModel.h"
#include "net/TrackerSource.h"

struct RefreshTiming {
    LoaderTiming loader;
    PollerTiming poller;
    std::chrono::milliseconds shutdownWait{5000};  // the longest the owner's destruction waits
};

// The two background workers of the main window: the boss-list loader (on its own source) and the
// all-status poller (on the window's source), started in that order. Destruction sets the stop flag
// and waits for both within one shutdown budget; a worker still inside a request then is left to
// end on its own, touching only the model, source and callback it shares.
class RefreshWorkers {
public:
    // Null when either thread cannot start; a loader already running is then stopped and waited for
    // within the shutdown budget, so nothing is left running.
    static std::unique_ptr<RefreshWorkers> start(std::shared_ptr<LiveModel> model,
                                                 std::shared_ptr<TrackerSource> loaderSource,
                                                 std::shared_ptr<TrackerSource> pollerSource,
                                                 std::function<void()> onBossListLoaded, RefreshTiming timing = {},
                                                 const ThreadStarter& starter = startSystemThread);
    ~RefreshWorkers();
    RefreshWorkers(const RefreshWorkers&) = delete;
    RefreshWorkers& operator=(const RefreshWorkers&) = delete;

private:
    RefreshWorkers(std::shared_ptr<LiveModel> model, std::chrono::milliseconds shutdownWait);

    std::shared_ptr<LiveModel> model_;
    std::chrono::milliseconds shutdownWait_;
    std::unique_ptr<WorkerThread> loader_;
    std::unique_ptr<WorkerThread> poller_;
};
