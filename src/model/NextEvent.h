#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/AlertFeed.h"

// The soonest coming event among the bosses of `feeds`, for the tray icon's tip: "Next: Sunken Herald, Ch. 3 dies
// in 58 s" for the fresh channel with the least positive time to death, or "Next: Ashen Warden respawns in 4m 12s"
// for a respawn countdown; the earlier feed on a tie. At most `longestUnits` UTF-16 units, the boss name shortened
// to fit; empty when no boss has a coming event.
std::string nextEventText(const std::vector<AlertFeed>& feeds, std::size_t longestUnits);
