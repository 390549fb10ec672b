#include "BossView_win.h"

#include <algorithm>
#include <new>

#include "WatchList.h"
#include "base/WideText.h"
#include "model/BossMenu.h"
#include "model/ChannelRules.h"
#include "model/ChosenBossFeed.h"
#include "model/RespawnCountdown.h"
#include "ui/Notification_win.h"

namespace {

bool watches(const Settings& settings, const std::string& bossId) {
    const std::vector<std::string>& watched = settings.WatchedBosses;
    return std::find(watched.begin(), watched.end(), bossId) != watched.end();
}

}  // namespace

void BossView::OnBossListLoaded() {
    // The items point into bosses_: they go first.
    combo_.Clear();
    bosses_.clear();
    const int64_t now = clock_.now();
    std::vector<BossMenuStatus> statuses;
    model_.read([&](const ModelData& data) {
        for (const BossInfo& boss : data.bossList) {
            bosses_.push_back(std::make_unique<BossInfo>(boss));
            statuses.push_back(bossMenuStatus(data, boss.id, now));
        }
    });
    for (size_t i = 0; i < bosses_.size(); ++i) {
        combo_.AddItem(bosses_[i]->name, statuses[i].color, bosses_[i].get(), statuses[i].freshCount,
                       statuses[i].totalCount, watches(settings_.values(), bosses_[i]->id));
    }
    RestoreChoice();
}

bool BossView::RestoreChoice() {
    const int64_t now = clock_.now();
    const int restore =
        model_.read([&](const ModelData& data) { return bossToRestore(data, settings_->LastBoss, now); });
    if (restore < 0) return false;
    combo_.SetCurSel(restore);
    OnBossSelected();
    return true;
}

void BossView::OnBossSelected() {
    const auto* boss = static_cast<const BossInfo*>(combo_.GetSelectedData());
    if (!boss) return;
    selectedBossId_ = boss->id;
    if (settings_->LastBoss != boss->id) settings_.Change([&](Settings& settings) { settings.LastBoss = boss->id; });
    title_.SetText(Utf8ToWide(boss->name));
    RefreshRows(false);
    UpdateCountdownText();
}

void BossView::ToggleWatch(int index) {
    const auto* boss = static_cast<const BossInfo*>(combo_.GetItemData(index));
    if (!boss) return;
    std::optional<std::vector<std::string>> watched = ToggledWatch(settings_->WatchedBosses, boss->id);
    if (!watched) {
        // The notice takes the keyboard from the list, which would close under it anyway.
        combo_.ClosePopup();
        Notification::Show(GetParent(combo_.hwnd()),
                           L"At most " + std::to_wstring(Settings::kMostWatchedBosses) + L" bosses can be watched.",
                           L"Watch list", NotificationKind::Info);
        return;
    }
    settings_.Change([&](Settings& settings) { settings.WatchedBosses = std::move(*watched); });
    combo_.SetItemWatched(index, watches(settings_.values(), boss->id));
}

void BossView::RefreshRows(bool clickThrough) {
    // The list comes before any channel: a first start chooses once there is a boss with fresh channels.
    if (selectedBossId_.empty() && hasItems()) RestoreChoice();
    const int64_t now = clock_.now();
    std::vector<ChannelRow> rows;
    try {
        rows = model_.read([&](const ModelData& data) {
            const auto entry = data.channelMap.find(selectedBossId_);
            return entry == data.channelMap.end() ? std::vector<ChannelRow>() : buildChannelRows(entry->second, now);
        });
    } catch (const std::bad_alloc&) {
        return;
    }
    // Set and painted after the lock is let go: a poller waiting to merge does not wait for the paint.
    list_.SetRows(rows);
    if (clickThrough) list_.ScrollToTop();
    if (comboOpen_) RefreshComboStatus();
}

bool BossView::OnComboNotification(WORD code) {
    if (code == CBN_SELCHANGE) OnBossSelected();
    if (code == ComboBox::kNotifyWatchToggle) ToggleWatch(combo_.HotIndex());
    if (code == CBN_DROPDOWN) comboOpen_ = true;
    if (code != CBN_CLOSEUP) return false;
    comboOpen_ = false;
    return true;
}

void BossView::RefreshComboStatus() {
    const int64_t now = clock_.now();
    std::vector<BossMenuStatus> statuses;
    try {
        statuses = model_.read([&](const ModelData& data) {
            std::vector<BossMenuStatus> read;
            const size_t count = std::min(data.bossList.size(), bosses_.size());
            for (size_t i = 0; i < count; ++i) read.push_back(bossMenuStatus(data, data.bossList[i].id, now));
            return read;
        });
    } catch (const std::bad_alloc&) {
        return;
    }
    for (size_t i = 0; i < statuses.size(); ++i) {
        combo_.SetItemStatus(static_cast<int>(i), statuses[i].color, statuses[i].freshCount, statuses[i].totalCount);
    }
    combo_.Invalidate();
}

void BossView::UpdateCountdownText() {
    if (selectedBossId_.empty()) {
        countdown_.SetText(L"");
        return;
    }
    const std::optional<BossInfo> boss =
        model_.read([&](const ModelData& data) { return listedBoss(data, selectedBossId_); });
    countdown_.SetText(boss ? respawnCountdownText(*boss, clock_.now()) : std::wstring());
}

std::optional<std::vector<AlertFeed>> BossView::CoveredBossFeeds(const std::vector<std::string>& watchedIds) const {
    const int64_t now = clock_.now();
    try {
        return model_.read(
            [&](const ModelData& data) { return coveredBossFeeds(data, selectedBossId_, watchedIds, now); });
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
