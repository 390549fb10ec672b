#pragma once

#include <cstdint>
#include <string>

#include "model/BossEntry.h"

// What one row of the channel list says and how its bar is filled.

// "Ch. %3d | %3d%%": the numbers right-aligned in three places.
std::string ChannelLabelText(int32_t channelNumber, int32_t hpPercent);
// The text over the bar: time to death ("42s", "1m 35s") and HP-loss rate ("(-0.4%/s)"), either, both or
// neither (empty). A time too large for whole seconds in 32 bits shows as the largest that fits.
std::string ChannelOverlayText(double etd, double dps);
// The whole row as drawn, for screen readers: the label, then the text over the bar when there is one.
std::string ChannelRowSpokenText(const ChannelRow& row);
// The row's own bar colour, else red below 25% HP, amber below 50%, green from there.
uint32_t ChannelBarColor(const ChannelRow& row);
// Pixels of a bar `barWidth` wide filled for `hpPercent`; nothing at 0 or below.
int ChannelBarFill(int barWidth, int32_t hpPercent);
