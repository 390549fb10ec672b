#include "model/BossMenu.h"

#include "model/ChannelRules.h"

BossMenuStatus bossMenuStatus(const ModelData& data, const std::string& bossId, int64_t now) {
    const auto entry = data.channelMap.find(bossId);
    if (entry == data.channelMap.end()) return {kBossWithoutFreshColor, 0, 0};
    const int32_t fresh = countFreshChannels(entry->second, now);
    return {fresh > 0 ? kBossWithFreshColor : kBossWithoutFreshColor, fresh,
            static_cast<int32_t>(entry->second.channels.size())};
}

int bossToRestore(const ModelData& data, const std::string& lastBoss, int64_t now) {
    const int count = static_cast<int>(data.bossList.size());
    if (!lastBoss.empty()) {
        for (int i = 0; i < count; ++i) {
            if (data.bossList[static_cast<size_t>(i)].id == lastBoss) return i;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (bossMenuStatus(data, data.bossList[static_cast<size_t>(i)].id, now).freshCount > 0) return i;
    }
    return -1;
}
