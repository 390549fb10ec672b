#include "model/ChosenBossFeed.h"

#include <algorithm>
#include <optional>

#include "model/RespawnCountdown.h"

AlertFeed bossFeed(const ModelData& data, const std::string& bossId, int64_t now) {
    AlertFeed feed;
    if (bossId.empty()) return feed;
    feed.bossId = bossId;
    feed.now = now;
    const auto entry = data.channelMap.find(bossId);
    if (entry != data.channelMap.end()) feed.channels = entry->second.channels;
    if (const std::optional<BossInfo> boss = listedBoss(data, bossId)) {
        feed.bossName = boss->name;
        feed.respawnSeconds = respawnCountdownSeconds(*boss, now);
    }
    return feed;
}

std::vector<AlertFeed> coveredBossFeeds(const ModelData& data, const std::string& chosenId,
                                        const std::vector<std::string>& watchedIds, int64_t now) {
    std::vector<AlertFeed> feeds;
    const auto add = [&](const std::string& bossId) {
        const bool known =
            std::any_of(feeds.begin(), feeds.end(), [&](const AlertFeed& f) { return f.bossId == bossId; });
        if (!bossId.empty() && !known) feeds.push_back(bossFeed(data, bossId, now));
    };
    add(chosenId);
    for (const std::string& bossId : watchedIds) add(bossId);
    return feeds;
}
