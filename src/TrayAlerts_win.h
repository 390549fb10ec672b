#pragma once

#include "AlertSound_win.h"
#include "BossView_win.h"
#include "Settings.h"
#include "TrayIcon_win.h"
#include "model/AlertTracker.h"

// The alerts of the chosen boss and the watched ones, by the rules the settings hold, raised as the tray icon's
// notifications, and the soonest coming event of those bosses in the tray icon's tip. Raise runs when data arrive
// and on every clock tick: an estimate and the respawn countdown each cross a threshold in time.
class TrayAlerts {
public:
    TrayAlerts(const Settings& settings, const BossView& bossView, TrayIcon& tray)
        : settings_(settings), bossView_(bossView), tray_(tray), sound_(settings, tray) {}

    void Raise();

private:
    const Settings& settings_;
    const BossView& bossView_;
    TrayIcon& tray_;
    AlertTracker tracker_;
    AlertSound sound_;
};
