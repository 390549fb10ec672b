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
    {
        std::lock_guard<std::mutex> guard(lock_);
        data_.failureReason = succeeded ? std::string() : reason;
    }
    // A success is followed at once by its merge, which tells the listener.
    if (!succeeded) notifyChanged();
}

bool LiveModel::takeDataUpdated() {
    std::lock_guard<std::mutex> guard(lock_);
    const bool updated = data_.dataUpdated;
    data_.dataUpdated = false;
    return updated;
}
