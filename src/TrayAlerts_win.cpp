#include "TrayAlerts_win.h"

#include "AlertSettings.h"
#include "base/WideText.h"
#include "model/NextEvent.h"

void TrayAlerts::Raise() {
    std::optional<std::vector<AlertFeed>> feeds = bossView_.CoveredBossFeeds(settings_.WatchedBosses);
    if (!feeds) return;
    const ULONGLONG tickMs = GetTickCount64();
    for (AlertFeed& feed : *feeds) feed.tickMs = tickMs;
    for (const Alert& alert : tracker_.update(*feeds, AlertRulesOf(settings_))) {
        // The sound first: a word that the player's sound file cannot be played comes before the alert, which is
        // then the notification left showing.
        if (alert.sound) sound_.Play();
        tray_.Notify(Utf8ToWide(alert.text));
    }
    tray_.ShowNextEvent(Utf8ToWide(nextEventText(*feeds, TrayIcon::NextEventRoom())));
}
