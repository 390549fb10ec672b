#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SettingsKeeper_win.h"
#include "model/AlertFeed.h"
#include "model/LiveModel.h"
#include "net/NtpClock.h"
#include "ui/CustomLabel_win.h"
#include "views/ComboBox_win.h"
#include "views/ProgressList_win.h"

// The chosen boss and what the overlay shows of it: the boss combo box, the channel list, the boss title
// (click-through mode) and the respawn countdown, all fed from the live model. Reads the model under its
// lock only to copy or build; the controls are set and painted after the lock is let go.
class BossView {
public:
    BossView(const LiveModel& model, const NtpClock& clock, SettingsKeeper& settings, ComboBox& combo,
             ProgressList& list, CustomLabel& title, CustomLabel& countdown)
        : model_(model),
          clock_(clock),
          settings_(settings),
          combo_(combo),
          list_(list),
          title_(title),
          countdown_(countdown) {}

    // Fills the combo box in boss-list order and selects the boss saved last time, else the first with a
    // fresh channel, else none until new data bring one.
    void OnBossListLoaded();
    // The combo box's notifications: the user's choice, which is kept, a bell pressed, which watches or unwatches
    // that boss, and the drop-down opening and closing. True when it closed: the window is not laid out while the
    // drop-down is open (comboOpen).
    bool OnComboNotification(WORD code);
    bool comboOpen() const { return comboOpen_; }
    // New data: the rows of the chosen boss, and the counts and colours of the open drop-down; in click-through
    // mode the list starts at its top. Out of memory, both keep what they show until the next data.
    void RefreshRows(bool clickThrough);
    void UpdateCountdownText();
    // The name, reports and respawn countdown of the chosen boss and of `watchedIds`, as the alerts judge them,
    // from one read of the model; all but the tick, which is the caller's. None when memory ran out: the alerts
    // then skip a tick rather than take an empty report for channels gone.
    std::optional<std::vector<AlertFeed>> CoveredBossFeeds(const std::vector<std::string>& watchedIds) const;

    bool hasItems() const { return !bosses_.empty(); }
    // Empty while no boss is chosen.
    const std::string& selectedBossId() const { return selectedBossId_; }

private:
    // Selects the boss saved last time, else the first with a fresh channel; false when there is none.
    bool RestoreChoice();
    void OnBossSelected();
    // Refuses a boss past Settings::kMostWatchedBosses with a notice.
    void ToggleWatch(int index);
    void RefreshComboStatus();

    const LiveModel& model_;
    const NtpClock& clock_;
    SettingsKeeper& settings_;
    ComboBox& combo_;
    ProgressList& list_;
    CustomLabel& title_;
    CustomLabel& countdown_;
    std::string selectedBossId_;
    bool comboOpen_ = false;
    // The combo box's item data: one copy per boss, at addresses that stay put.
    std::vector<std::unique_ptr<BossInfo>> bosses_;
};
