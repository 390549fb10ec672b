#include "model/ChosenBossFeed.h"

#include <optional>

#include "model/RespawnCountdown.h"

AlertFeed chosenBossFeed(const ModelData& data, const std::string& bossId, int64_t now) {
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
