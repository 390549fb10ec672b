#pragma once

#include <windows.h>

#include "net/NtpClock.h"
#include "net/NtpSyncSchedule.h"

// The window's two clocks: a tick just after each second of the corrected clock turns, so that the countdown steps
// evenly, and the NTP resync on NtpSyncSchedule's timing.
class ClockTimers {
public:
    explicit ClockTimers(NtpClock& clock) : clock_(clock) {}

    // Starts both, with a first sync.
    void Start(HWND window);
    // The window's WM_TIMER; true when it was the second's tick, which is then scheduled again.
    bool OnTimer(UINT_PTR id);
    void Stop();

private:
    // Starts a sync and sets the timer for the one after it.
    void Resync();
    void ScheduleTick();

    NtpClock& clock_;
    NtpSyncSchedule syncSchedule_;
    HWND window_ = nullptr;
};
