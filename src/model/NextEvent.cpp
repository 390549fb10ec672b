#include "model/NextEvent.h"

#include <optional>

#include "base/Utf16Units.h"
#include "model/ChannelRules.h"
#include "model/RespawnCountdown.h"

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // one UTF-16 unit

struct Event {
    double seconds;
    const AlertFeed* feed;
    std::optional<int32_t> channelNumber;  // none: the respawn
};

}  // namespace

std::string nextEventText(const std::vector<AlertFeed>& feeds, std::size_t longestUnits) {
    std::optional<Event> soonest;
    const auto consider = [&](const Event& event) {
        if (!soonest || event.seconds < soonest->seconds) soonest = event;
    };
    for (const AlertFeed& feed : feeds) {
        for (const ChannelStatus& channel : feed.channels) {
            // Written as "> 0" so that a NaN estimate counts as none.
            if (classifyChannel(channel, feed.now) == ChannelState::Fresh && channel.etd > 0) {
                consider({channel.etd, &feed, channel.channelNumber});
            }
        }
        if (feed.respawnSeconds) consider({static_cast<double>(*feed.respawnSeconds), &feed, std::nullopt});
    }
    if (!soonest) return {};

    const std::string what =
        soonest->channelNumber
            ? ", Ch. " + std::to_string(*soonest->channelNumber) + " dies in " + secondsToDeathText(soonest->seconds)
            : " respawns in " + countdownText(static_cast<int64_t>(soonest->seconds));
    const std::string prefix = "Next: ";
    const std::string& name = soonest->feed->bossName;
    const std::size_t fixedUnits = utf16Units(prefix) + utf16Units(what);
    if (fixedUnits + utf16Units(name) <= longestUnits) return prefix + name + what;
    if (fixedUnits + 1 > longestUnits) return {};
    return prefix + cutToUtf16Units(name, longestUnits - fixedUnits - 1) + kEllipsis + what;
}
