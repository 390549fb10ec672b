#include "TrayAlerts_win.h"

#include "AlertSettings.h"
#include "base/WideText.h"

void TrayAlerts::Raise() {
    const AlertRules rules = AlertRulesOf(settings_);
    // Nothing is read for a player who asked for no alert.
    std::optional<AlertFeed> feed = rules.dying || rules.respawn ? bossView_.ChosenBossFeed() : AlertFeed{};
    if (!feed) return;
    feed->tickMs = GetTickCount64();
    for (const Alert& alert : tracker_.update(*feed, rules)) {
        // The sound first: a word that the player's sound file cannot be played comes before the alert, which is
        // then the notification left showing.
        if (alert.sound) sound_.Play();
        tray_.Notify(Utf8ToWide(alert.text));
    }
}
