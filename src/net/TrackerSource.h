#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "net/TrackerRecords.h"

// How a read that may find nothing new ended.
enum class SummaryRead { Failed, Changed, Unchanged };

// The reads the background workers make of a tracker. ApiClient is the real one; the workers
// depend only on this so that their timing and shutdown can be tested without a network.
// Every call blocks, may be made from any thread, and reports failure by its result (it may also throw).
class TrackerSource {
public:
    virtual ~TrackerSource() = default;
    virtual bool fetchBossList(std::vector<BossInfo>& bosses) = 0;
    virtual bool fetchChannelStatus(const std::string& bossId, std::vector<ChannelStatus>& channels) = 0;
    // Unchanged: the tracker said, or its answer showed byte for byte, that nothing changed since the last read;
    // `result` is then left as it was.
    virtual SummaryRead fetchAllStatus(AllStatusMap& result) = 0;
    // How long the tracker said its latest summary answer stays as it is, from its arrival; zero when it said
    // nothing or the read failed.
    virtual std::chrono::seconds summaryFreshFor() const { return std::chrono::seconds(0); }
    virtual double fetchServerCacheAge() = 0;  // seconds, or -1.0 when no age is available
    // Why the latest of the three data reads failed, in plain words after the tracker's host; empty when it
    // succeeded or no request went out.
    virtual std::string failureReason() const = 0;
};
