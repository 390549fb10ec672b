#include "BossView_win.h"

#include <algorithm>
#include <optional>

#include "base/WideText.h"
#include "model/BossMenu.h"
#include "model/ChannelRules.h"
#include "model/RespawnCountdown.h"

void BossView::OnBossListLoaded() {
    combo_.Clear();
    const int64_t now = clock_.now();
    const int restore = model_.read([&](const ModelData& data) {
        bosses_.clear();
        for (const BossInfo& boss : data.bossList) {
            bosses_.push_back(std::make_unique<BossInfo>(boss));
            const BossMenuStatus status = bossMenuStatus(data, boss.id, now);
            combo_.AddItem(boss.name, status.color, bosses_.back().get(), status.freshCount, status.totalCount);
        }
        return bossToRestore(data, settings_.LastBoss, now);
    });
    if (restore < 0) return;
    combo_.SetCurSel(restore);
    OnBossSelected();
}

void BossView::OnBossSelected() {
    const auto* boss = static_cast<const BossInfo*>(combo_.GetSelectedData());
    if (!boss) return;
    selectedBossId_ = boss->id;
    if (settings_.LastBoss != boss->id) {
        settings_.LastBoss = boss->id;
        // Saved at once, so that a crash or a kill does not lose the choice.
        settings_.Save();
    }
    title_.SetText(Utf8ToWide(boss->name));
    RefreshRows(false);
}

void BossView::RefreshRows(bool clickThrough) {
    const int64_t now = clock_.now();
    model_.read([&](const ModelData& data) {
        const auto entry = data.channelMap.find(selectedBossId_);
        if (entry == data.channelMap.end()) {
            list_.Clear();
        } else {
            list_.SetRows(buildChannelRows(entry->second, now));
        }
        return 0;
    });
    if (clickThrough) list_.ScrollToTop();
}

void BossView::RefreshComboStatus() {
    const int64_t now = clock_.now();
    model_.read([&](const ModelData& data) {
        const size_t count = std::min(data.bossList.size(), bosses_.size());
        for (size_t i = 0; i < count; ++i) {
            const BossMenuStatus status = bossMenuStatus(data, data.bossList[i].id, now);
            combo_.SetItemStatus(static_cast<int>(i), status.color, status.freshCount, status.totalCount);
        }
        return 0;
    });
    combo_.Invalidate();
}

void BossView::UpdateCountdownText() {
    if (selectedBossId_.empty()) {
        countdown_.SetText(L"");
        return;
    }
    const std::optional<BossInfo> boss = model_.read([&](const ModelData& data) -> std::optional<BossInfo> {
        for (const BossInfo& listed : data.bossList) {
            if (listed.id == selectedBossId_) return listed;
        }
        return std::nullopt;
    });
    countdown_.SetText(boss ? respawnCountdownText(*boss, clock_.now()) : std::wstring());
}
