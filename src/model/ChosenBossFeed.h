#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/AlertFeed.h"
#include "model/LiveModel.h"

// One boss's name, reports and respawn countdown at `now` as the alerts judge them; all but the tick, which is the
// caller's. An empty feed for an empty id. Throws std::bad_alloc when memory runs out.
AlertFeed bossFeed(const ModelData& data, const std::string& bossId, int64_t now);

// The same for every boss the alerts cover: the chosen one first, then the watched ones in their order, each
// once; none for no boss. Throws std::bad_alloc when memory runs out.
std::vector<AlertFeed> coveredBossFeeds(const ModelData& data, const std::string& chosenId,
                                        const std::vector<std::string>& watchedIds, int64_t now);
