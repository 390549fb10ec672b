#include "model/RefreshWorkers.h"

#include <utility>

RefreshWorkers::RefreshWorkers(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> loaderSource,
                               std::shared_ptr<TrackerSource> pollerSource, std::function<void()> onBossListLoaded,
                               RefreshTiming timing)
    : model_(model),
      shutdownWait_(timing.shutdownWait),
      loader_([loader = BossListLoader(model, std::move(loaderSource), std::move(onBossListLoaded),
                                       timing.loader)]() mutable { loader.run(); }),
      poller_([poller = AllStatusPoller(model, std::move(pollerSource), timing.poller)]() mutable { poller.run(); }) {}

RefreshWorkers::~RefreshWorkers() {
    model_->requestStop();
    const auto deadline = std::chrono::steady_clock::now() + shutdownWait_;
    poller_.finish(deadline);
    loader_.finish(deadline);
}
