#pragma once

#include <cstdint>
#include <string>

#include "net/TrackerRecords.h"

// Time until the UTC clock next reaches minute `respawnTime` of an hour, as "%dm %ds" or "%ds";
// empty for bosses without an hourly respawn and for instants the calendar cannot show.
std::wstring respawnCountdownText(const BossInfo& boss, int64_t now);
