#pragma once

#include <cstdint>

// When changed settings are written. A change waits until the settings have been quiet for kQuietMs, so
// that a slider's drag writes the file once rather than at every step; a steady stream of changes still
// reaches the file kLongestWaitMs after its first, so that a kill during a long drag loses no more.
// A save that failed (another program holding the file for a moment) is tried again kFirstRetryMs later,
// then after twice as long each time, kRetries times, before the place is given up; a change meanwhile does
// not hurry the next try. Times are milliseconds of any steady clock.
class SaveSchedule {
public:
    static constexpr uint64_t kQuietMs = 500;
    static constexpr uint64_t kLongestWaitMs = 2000;
    static constexpr uint64_t kFirstRetryMs = 1000;
    static constexpr int kRetries = 5;

    void changed(uint64_t nowMs);
    void saved();
    // True while the save should be tried again (when due); false once the retries are spent, and the count
    // starts again for the next place.
    bool failed(uint64_t nowMs);
    bool pending() const { return pending_; }
    bool due(uint64_t nowMs) const { return pending_ && msUntilDue(nowMs) == 0; }
    // How long a pending change still waits: 0 once due.
    uint64_t msUntilDue(uint64_t nowMs) const;

private:
    bool pending_ = false;
    uint64_t firstChangeMs_ = 0;  // the oldest change not yet written
    uint64_t lastChangeMs_ = 0;
    int failures_ = 0;  // of the saves since the last that succeeded
    uint64_t retryMs_ = 0;
};
