#include "views/ChannelRowText.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "ui/Theme.h"

namespace {

constexpr std::size_t kRateTextUnits = 32;

// Whole seconds of a positive estimate; beyond 32 bits (1e300, say) the largest that fits rather than
// the undefined result of converting an out-of-range double.
int32_t wholeSeconds(double etd) {
    constexpr double kLargest = std::numeric_limits<int32_t>::max();
    return etd >= kLargest ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(etd);
}

}  // namespace

std::string ChannelLabelText(int32_t channelNumber, int32_t hpPercent) {
    char text[48];
    std::snprintf(text, sizeof text, "Ch. %3d | %3d%%", channelNumber, hpPercent);
    return text;
}

std::string ChannelRowSpokenText(const ChannelRow& row) {
    const std::string overlay = ChannelOverlayText(row.etd, row.dps);
    const std::string label = ChannelLabelText(row.channelNumber, row.hpPercent);
    return overlay.empty() ? label : label + " " + overlay;
}

std::string ChannelOverlayText(double etd, double dps) {
    std::string time;
    if (etd > 0) {
        const int32_t seconds = wholeSeconds(etd);
        time = etd < 60.0 ? std::to_string(seconds) + "s"
                          : std::to_string(seconds / 60) + "m " + std::to_string(seconds % 60) + "s";
    }
    std::string rate;
    if (dps > 0.01) {
        char text[kRateTextUnits];
        std::snprintf(text, sizeof text, "(-%.1f%%/s)", dps);
        rate = text;
    }
    if (time.empty() || rate.empty()) return time + rate;
    return time + " " + rate;
}

uint32_t ChannelBarColor(const ChannelRow& row) {
    if (row.barColor != 0) return row.barColor;
    if (row.hpPercent < 25) return ColorBarLow;
    if (row.hpPercent < 50) return ColorBarMiddle;
    return ColorBarHigh;
}

int ChannelBarFill(int barWidth, int32_t hpPercent) {
    if (hpPercent <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(barWidth) * hpPercent / 100);
}
