#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/StopSignal.h"
#include "model/BossEntry.h"
#include "net/TrackerDecoder.h"
#include "net/TrackerRecords.h"

// The live boss data as the workers leave it for the UI thread.
struct ModelData {
    std::vector<BossInfo> bossList;               // the tracker's order
    std::map<std::string, BossEntry> channelMap;  // keyed by boss id; may hold ids the list lacks
    double serverCacheAge = -1.0;                 // seconds when it was stored; -1.0: no age available
    std::chrono::steady_clock::time_point cacheAgeStored;
    uint32_t summaryReads = 0;                    // summaries read, changed or not: the tracker still answers
    std::chrono::milliseconds summaryFresh{0};    // how long the last one stays as it is, as far as it is trusted
    bool dataUpdated = false;                     // set by each merge, taken by the UI
    int32_t activityIndex = 0;                    // 0, 1, 2, 0, ... once per merge
    std::string failureReason;                    // why the tracker cannot be read; empty while it can
};

// Why the tracker cannot be read, as it concerns the boss with this id: what keeps every boss from being read, else
// why its own read failed. Empty while both can be read.
std::string failureReasonFor(const ModelData& data, const std::string& bossId);

// The tracker's cache age as of `now`: between two answers it grows with the clock. -1.0 when none is known.
double cacheAgeAt(const ModelData& data, std::chrono::steady_clock::time_point now);

// A copy of the listed boss with this id; none when the list does not hold it.
std::optional<BossInfo> listedBoss(const ModelData& data, const std::string& id);

// Ids kept in the channel map beyond those the boss list or the latest summary names: a tracker that names new
// ids in every summary would otherwise grow the map for as long as the overlay runs. As many as one summary
// may name.
constexpr size_t kMostChannelMapIds = kMostSummaryIds;

// The reason a worker gives when an answer or its copy into the model ran out of memory.
constexpr char kOutOfMemoryReason[] = "Out of memory for the tracker's answer";

// The model shared by the main window and its background workers. Each of them holds it through a
// shared_ptr, so a worker still inside a request when the window goes away writes into memory it
// co-owns. Writers hold the lock only while copying finished results in; nothing waits on the
// network while it is held.
class LiveModel {
public:
    // Called on the writing thread after each merge, failed read, cleared failure reason and cache age,
    // outside the lock, so that the UI wakes when there is something new rather than on a timer. Set before
    // any writer starts.
    void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

    void storeBossList(std::vector<BossInfo> bosses);
    // The loader's per-boss result: replaces the boss, and its channels unless a summary named it (the summary's
    // are fresher).
    void storeBoss(const BossInfo& boss, std::vector<ChannelStatus> channels);
    // The poller's summary: replaces the channels of every boss it names, creating entries with an
    // empty boss for ids not seen before; an empty summary still counts as a merge. Past kMostChannelMapIds
    // entries, those that neither the boss list nor this summary names are dropped. The summary's lists are
    // exchanged with the model's, nothing is copied, and the caller gets the earlier lists back as storage for
    // its next read. The server's cache age comes with it, so that one notice tells of both, and how long the
    // summary stays as it is. Throws std::bad_alloc when memory runs out for a new id; the age is stored, and each
    // boss has either its earlier channels or the summary's.
    void mergeAllStatus(AllStatusMap& summary, double serverCacheAge, std::chrono::milliseconds fresh);
    // A summary read that found nothing new: counted with how long it stays as it is, and nothing else changes, so
    // nothing is told.
    void noteUnchangedSummary(std::chrono::milliseconds fresh);
    void storeServerCacheAge(double seconds);
    // A data read's outcome: a success clears the failure reason and a failure with a reason replaces it, and
    // forgets how long the last summary was said to stay as it is. A failure without one made no request (the
    // window's client before it has a tracker) and says nothing new.
    void noteRead(bool succeeded, const std::string& reason);
    // The outcome of a read of one boss's channels, which concerns that boss alone: a failure's reason stays with
    // the boss until its read succeeds.
    void noteBossRead(const std::string& bossId, bool succeeded, const std::string& reason);

    // Clears the data-updated flag and says whether it was set.
    bool takeDataUpdated();

    // Runs `reader` on the data under the lock and returns its result.
    template <typename Reader>
    auto read(Reader&& reader) const {
        std::lock_guard<std::mutex> guard(lock_);
        return reader(static_cast<const ModelData&>(data_));
    }

    void requestStop() { stop_.request(); }
    bool stopRequested() const { return stop_.requested(); }
    // Sleeps for `pause`, or less when a stop is requested meanwhile.
    void pauseUnlessStopped(std::chrono::milliseconds pause) const { stop_.waitFor(pause); }

private:
    // Under the lock.
    void dropIdsNamedNowhere(const AllStatusMap& summary);
    void storeCacheAgeLocked(double seconds);
    void notifyChanged() const {
        if (changed_) changed_();
    }

    mutable std::mutex lock_;
    ModelData data_;
    std::function<void()> changed_;
    StopSignal stop_;
};
