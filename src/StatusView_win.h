#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "BossView_win.h"
#include "TrayIcon_win.h"
#include "model/LiveModel.h"
#include "net/ApiClient.h"
#include "net/NtpClock.h"
#include "ui/CustomLabel_win.h"
#include "views/ProgressList_win.h"

// What the overlay says of its link to the tracker: the status line, the cache age, the reason an empty list
// gives and the tray icon's colour and tip (TrayState.h).
class StatusView {
public:
    StatusView(const LiveModel& model, const BossView& boss, const ApiClient& client, const NtpClock& clock,
               CustomLabel& status, CustomLabel& cacheAge, ProgressList& list, TrayIcon& tray)
        : model_(model),
          boss_(boss),
          client_(client),
          clock_(clock),
          status_(status),
          cacheAge_(cacheAge),
          list_(list),
          tray_(tray) {}

    // The client announced a ConnectionState.
    void SetConnectionState(unsigned state);
    // Takes in what the workers left.
    void OnModelChanged();
    // What time alone changes: the NTP part of the status line, the cache age between two answers, and the tray
    // icon once the data stop.
    void OnClockTick();

private:
    void UpdateStatusText();
    // With `onlyANewAge`, only when an age was stored since the label last showed one.
    void UpdateCacheAge(bool onlyANewAge = false);
    void UpdateTrayIcon();
    // Why the tracker, or the chosen boss's channels, cannot be read; empty while they can.
    std::wstring FailureReason() const;

    const LiveModel& model_;
    const BossView& boss_;
    const ApiClient& client_;
    const NtpClock& clock_;
    CustomLabel& status_;
    CustomLabel& cacheAge_;
    ProgressList& list_;
    TrayIcon& tray_;
    unsigned connectionState_ = CONNECTION_DISCONNECTED;
    DWORD lastDataTick_ = 0;
    uint32_t summaryReads_ = 0;
    std::chrono::steady_clock::time_point cacheAgeShown_;  // when the age the label shows was stored
};
