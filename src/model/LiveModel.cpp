#include "model/LiveModel.h"

#include <algorithm>

std::string failureReasonFor(const ModelData& data, const std::string& bossId) {
    if (!data.failureReason.empty()) return data.failureReason;
    const auto entry = data.channelMap.find(bossId);
    return entry == data.channelMap.end() ? std::string() : entry->second.readFailure;
}

double cacheAgeAt(const ModelData& data, std::chrono::steady_clock::time_point now) {
    if (data.serverCacheAge < 0.0) return data.serverCacheAge;
    return data.serverCacheAge + std::chrono::duration<double>(now - data.cacheAgeStored).count();
}

std::optional<BossInfo> listedBoss(const ModelData& data, const std::string& id) {
    for (const BossInfo& listed : data.bossList) {
        if (listed.id == id) return listed;
    }
    return std::nullopt;
}

void LiveModel::storeBossList(std::vector<BossInfo> bosses) {
    std::lock_guard<std::mutex> guard(lock_);
    data_.bossList = std::move(bosses);
}

void LiveModel::storeBoss(const BossInfo& boss, std::vector<ChannelStatus> channels) {
    std::lock_guard<std::mutex> guard(lock_);
    BossEntry& entry = data_.channelMap[boss.id];
    entry.boss = boss;
    if (!entry.summarized) entry.channels = std::move(channels);
}

void LiveModel::mergeAllStatus(AllStatusMap& summary, double serverCacheAge, std::chrono::milliseconds fresh) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        storeCacheAgeLocked(serverCacheAge);
        for (auto& [bossId, channels] : summary) {
            BossEntry& entry = data_.channelMap[bossId];
            entry.channels.swap(channels);
            entry.summarized = true;
        }
        data_.dataUpdated = true;
        data_.activityIndex = (data_.activityIndex + 1) % 3;
        ++data_.summaryReads;
        data_.summaryFresh = fresh;
        if (data_.channelMap.size() > kMostChannelMapIds) dropIdsNamedNowhere(summary);
    }
    notifyChanged();
}

void LiveModel::dropIdsNamedNowhere(const AllStatusMap& summary) {
    std::vector<const std::string*> listed;
    listed.reserve(data_.bossList.size());
    for (const BossInfo& boss : data_.bossList) listed.push_back(&boss.id);
    const auto byId = [](const std::string* a, const std::string* b) { return *a < *b; };
    std::sort(listed.begin(), listed.end(), byId);
    for (auto entry = data_.channelMap.begin(); entry != data_.channelMap.end();) {
        const bool kept =
            summary.count(entry->first) > 0 || std::binary_search(listed.begin(), listed.end(), &entry->first, byId);
        entry = kept ? std::next(entry) : data_.channelMap.erase(entry);
    }
}

void LiveModel::noteUnchangedSummary(std::chrono::milliseconds fresh) {
    std::lock_guard<std::mutex> guard(lock_);
    ++data_.summaryReads;
    data_.summaryFresh = fresh;
}

void LiveModel::storeServerCacheAge(double seconds) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        storeCacheAgeLocked(seconds);
    }
    notifyChanged();
}

void LiveModel::storeCacheAgeLocked(double seconds) {
    data_.serverCacheAge = seconds;
    data_.cacheAgeStored = std::chrono::steady_clock::now();
}

void LiveModel::noteRead(bool succeeded, const std::string& reason) {
    if (!succeeded && reason.empty()) return;
    bool cleared = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        cleared = succeeded && !data_.failureReason.empty();
        data_.failureReason = succeeded ? std::string() : reason;
        // A tracker that fails has broken its word on freshness: data count as flowing no longer than usual.
        if (!succeeded) data_.summaryFresh = std::chrono::milliseconds(0);
    }
    // Every failure is news (the status line counts them); a success only when it clears a reason.
    if (!succeeded || cleared) notifyChanged();
}

void LiveModel::noteBossRead(const std::string& bossId, bool succeeded, const std::string& reason) {
    if (!succeeded && reason.empty()) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::string& kept = data_.channelMap[bossId].readFailure;
        if (kept == reason) return;
        kept = succeeded ? std::string() : reason;
    }
    notifyChanged();
}

bool LiveModel::takeDataUpdated() {
    std::lock_guard<std::mutex> guard(lock_);
    const bool updated = data_.dataUpdated;
    data_.dataUpdated = false;
    return updated;
}
