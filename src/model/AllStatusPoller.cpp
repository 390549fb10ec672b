#include "model/AllStatusPoller.h"

#include <algorithm>
#include <new>
#include <utility>

#include "base/StepTimes.h"

AllStatusPoller::AllStatusPoller(std::shared_ptr<LiveModel> model, std::shared_ptr<TrackerSource> source,
                                 PollerTiming timing)
    : model_(std::move(model)), source_(std::move(source)), timing_(timing) {}

void AllStatusPoller::run() {
    AllStatusMap summary;  // reused across cycles: the source may keep its storage
    std::chrono::steady_clock::time_point ageAsked;  // the first summary always asks: it is never unchanged
    while (!model_->stopRequested()) {
        const Fetched fetched = fetchSummary(summary);
        const auto fresh = source_->summaryFreshFor();
        const auto freshUntil = std::chrono::steady_clock::now() + fresh;
        const auto trusted = timing_.trustedFresh(fresh);
        if (fetched == Fetched::NoRequest) {
            model_->pauseUnlessStopped(timing_.untilTracker);
            continue;
        }
        if (fetched == Fetched::Unchanged) model_->noteUnchangedSummary(trusted);
        const auto now = std::chrono::steady_clock::now();
        bool failed = fetched == Fetched::Failure;
        if (fetched != Fetched::Unchanged || now - ageAsked >= timing_.cacheAgeEvery) {
            // Asked before the merge, so that new rows and the age of the cache they came from reach the window
            // together, in one wake-up.
            const double age = fetchCacheAge();
            ageAsked = now;
            if (fetched == Fetched::Changed)
                failed = !merge(summary, age, trusted);
            else
                model_->storeServerCacheAge(age);
        }
        if (failed) model_->pauseUnlessStopped(timing_.afterFailure);
        model_->pauseUnlessStopped(timing_.pauseAfterCycle(freshUntil - std::chrono::steady_clock::now()));
    }
}

std::chrono::milliseconds PollerTiming::trustedFresh(std::chrono::steady_clock::duration fresh) const {
    return std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(fresh), std::chrono::milliseconds(0),
                      longestFreshPause);
}

std::chrono::milliseconds PollerTiming::pauseAfterCycle(std::chrono::steady_clock::duration fresh) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(fresh);
    return std::clamp(left, afterCycle, std::max(afterCycle, longestFreshPause));
}

// Running out of memory is taken as one large allocation failing, for an answer or its copy: the small ones after
// it, the reason's among them, succeed.
AllStatusPoller::Fetched AllStatusPoller::fetchSummary(AllStatusMap& summary) {
    SummaryRead read = SummaryRead::Failed;
    bool outOfMemory = false;
    bool threw = false;
    try {
        read = source_->fetchAllStatus(summary);
    } catch (const std::bad_alloc&) {
        outOfMemory = threw = true;
    } catch (...) {
        threw = true;
    }
    const bool ok = read != SummaryRead::Failed;
    const std::string reason = outOfMemory ? kOutOfMemoryReason : source_->failureReason();
    model_->noteRead(ok, reason);
    if (ok) return read == SummaryRead::Changed ? Fetched::Changed : Fetched::Unchanged;
    // A failure without a reason made no request.
    return reason.empty() && !threw ? Fetched::NoRequest : Fetched::Failure;
}

bool AllStatusPoller::merge(AllStatusMap& summary, double cacheAge, std::chrono::milliseconds fresh) {
    try {
        StepTimer timer(Step::Merge);
        model_->mergeAllStatus(summary, cacheAge, fresh);
        return true;
    } catch (const std::bad_alloc&) {
        model_->noteRead(false, kOutOfMemoryReason);
        return false;
    }
}

double AllStatusPoller::fetchCacheAge() {
    try {
        return source_->fetchServerCacheAge();
    } catch (...) {
        return -1.0;
    }
}
