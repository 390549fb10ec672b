#pragma once

#include <cstdint>

// When changed settings are written. A change waits until the settings have been quiet for kQuietMs, so
// that a slider's drag writes the file once rather than at every step; a steady stream of changes still
// reaches the file kLongestWaitMs after its first, so that a kill during a long drag loses no more.
// Times are milliseconds of any steady clock.
class SaveSchedule {
public:
    static constexpr uint64_t kQuietMs = 500;
    static constexpr uint64_t kLongestWaitMs = 2000;

    void changed(uint64_t nowMs);
    void saved() { pending_ = false; }
    bool pending() const { return pending_; }
    bool due(uint64_t nowMs) const { return pending_ && msUntilDue(nowMs) == 0; }
    // How long a pending change still waits: 0 once due.
    uint64_t msUntilDue(uint64_t nowMs) const;

private:
    bool pending_ = false;
    uint64_t firstChangeMs_ = 0;  // the oldest change not yet written
    uint64_t lastChangeMs_ = 0;
};
