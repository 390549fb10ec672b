#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "model/AllStatusPoller.h"
#include "model/BossListLoader.h"
#include "model/LiveModel.h"
#include "model/WorkerThread.h"
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
    RefreshWorkers(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> loaderSource,
                   std::shared_ptr<TrackerSource> pollerSource, std::function<void()> onBossListLoaded,
                   RefreshTiming timing = {});
    ~RefreshWorkers();
    RefreshWorkers(const RefreshWorkers&) = delete;
    RefreshWorkers& operator=(const RefreshWorkers&) = delete;

private:
    std::shared_ptr<LiveModel> model_;
    std::chrono::milliseconds shutdownWait_;
    WorkerThread loader_;
    WorkerThread poller_;
};
