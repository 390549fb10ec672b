#pragma once

#include <cstdint>
#include <string>

#include "model/LiveModel.h"

// What the boss combo box shows of one boss: red without a fresh channel, green with one, and the
// counts of fresh and of all reported channels.
struct BossMenuStatus {
    uint32_t color = 0;
    int32_t freshCount = 0;
    int32_t totalCount = 0;
};

constexpr uint32_t kBossWithoutFreshColor = 0x0000FF;  // red
constexpr uint32_t kBossWithFreshColor = 0x00B400;     // green

BossMenuStatus bossMenuStatus(const ModelData& data, const std::string& bossId, int64_t now);

// The boss to select once the list is in, as an index into the boss list: the one saved last time when
// it is still listed, else the first with a fresh channel; -1 when there is none.
int bossToRestore(const ModelData& data, const std::string& lastBoss, int64_t now);
