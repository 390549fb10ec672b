#pragma once

#include <cstdint>
#include <string>

#include "model/AlertTracker.h"
#include "model/LiveModel.h"

// The chosen boss's name, reports and respawn countdown at `now` as the alerts judge them; all but the tick,
// which is the caller's. An empty feed when no boss is chosen. Throws std::bad_alloc when memory runs out.
AlertFeed chosenBossFeed(const ModelData& data, const std::string& bossId, int64_t now);
