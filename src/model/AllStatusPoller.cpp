#include "model/AllStatusPoller.h"

#include <utility>

#include "base/StepTimes.h"

AllStatusPoller::AllStatusPoller(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source,
                                 PollerTiming timing)
    : model_(std::move(model)), source_(std::move(source)), timing_(timing) {}

void AllStatusPoller::run() {
    AllStatusMap summary;  // reused across cycles: the source may keep its storage
    while (!model_->stopRequested()) {
        if (fetchSummary(summary)) {
            StepTimer timer(Step::Merge);
            model_->mergeAllStatus(summary);
        } else {
            model_->pauseUnlessStopped(timing_.afterFailure);
        }
        model_->storeServerCacheAge(fetchCacheAge());
        model_->pauseUnlessStopped(timing_.afterCycle);
    }
}

bool AllStatusPoller::fetchSummary(AllStatusMap& summary) {
    bool ok = false;
    try {
        ok = source_->fetchAllStatus(summary);
    } catch (...) {
        ok = false;
    }
    model_->noteRead(ok, source_->failureReason());
    return ok;
}

double AllStatusPoller::fetchCacheAge() {
    try {
        return source_->fetchServerCacheAge();
    } catch (...) {
        return -1.0;
    }
}
