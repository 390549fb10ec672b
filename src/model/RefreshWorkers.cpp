#include "model/RefreshWorkers.h"

#include <utility>

RefreshWorkers::RefreshWorkers(std::shared_ptr<LiveModel> model, std::chrono::milliseconds shutdownWait)
    : model_(std::move(model)), shutdownWait_(shutdownWait) {}

std::unique_ptr<RefreshWorkers> RefreshWorkers::start(std::shared_ptr<LiveModel> model,
                                                      std::shared_ptr<TrackerSource> loaderSource,
                                                      std::shared_ptr<TrackerSource> pollerSource,
                                                      std::function<void()> onBossListLoaded, RefreshTiming timing,
                                                      const ThreadStarter& starter) {
    std::unique_ptr<RefreshWorkers> workers(new RefreshWorkers(model, timing.shutdownWait));
    workers->loader_ =
        WorkerThread::start([loader = BossListLoader(model, std::move(loaderSource), std::move(onBossListLoaded),
                                                     timing.loader)]() mutable { loader.run(); },
                            starter);
    if (!workers->loader_) return nullptr;
    workers->poller_ = WorkerThread::start(
        [poller = AllStatusPoller(model, std::move(pollerSource), timing.poller)]() mutable { poller.run(); }, starter);
    // Without the poller the destruction stops the loader that did start.
    if (!workers->poller_) return nullptr;
    return workers;
}

RefreshWorkers::~RefreshWorkers() {
    model_->requestStop();
    const auto deadline = std::chrono::steady_clock::now() + shutdownWait_;
    if (poller_) poller_->finish(deadline);
    if (loader_) loader_->finish(deadline);
}
