#include "model/LiveModel.h"

void LiveModel::storeBossList(std::vector<BossInfo> bosses) {
    std::lock_guard<std::mutex> guard(lock_);
    data_.bossList = std::move(bosses);
}

void LiveModel::storeBoss(const BossInfo& boss, std::vector<ChannelStatus> channels) {
    std::lock_guard<std::mutex> guard(lock_);
    BossEntry& entry = data_.channelMap[boss.id];
    entry.boss = boss;
    entry.channels = std::move(channels);
}

void LiveModel::mergeAllStatus(const AllStatusMap& summary) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (const auto& [bossId, channels] : summary) data_.channelMap[bossId].channels = channels;
        data_.dataUpdated = true;
        data_.activityIndex = (data_.activityIndex + 1) % 3;
    }
    notifyChanged();
}

void LiveModel::storeServerCacheAge(double seconds) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        data_.serverCacheAge = seconds;
    }
    notifyChanged();
}

void LiveModel::noteRead(bool succeeded, const std::string& reason) {
    if (!succeeded && reason.empty()) return;
    bool cleared = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        cleared = succeeded && !data_.failureReason.empty();
        data_.failureReason = succeeded ? std::string() : reason;
    }
    // Every failure is news (the status line counts them); a success only when it clears a reason.
    if (!succeeded || cleared) notifyChanged();
}

bool LiveModel::takeDataUpdated() {
    std::lock_guard<std::mutex> guard(lock_);
    const bool updated = data_.dataUpdated;
    data_.dataUpdated = false;
    return updated;
}
