#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "net/TrackerRecords.h"

// Seconds until the UTC clock next reaches minute `respawnTime` of an hour, 1 to 3600 (the respawn
// second itself counts a full hour); none for bosses without an hourly respawn and for instants the
// calendar cannot show.
std::optional<int64_t> respawnCountdownSeconds(const BossInfo& boss, int64_t now);

// The same as "%dm %ds" or "%ds"; empty when there is no countdown.
std::wstring respawnCountdownText(const BossInfo& boss, int64_t now);
// `seconds` as the countdown shows them: "%dm %ds", or "%ds" under a minute.
std::string countdownText(int64_t seconds);
