#include "model/RespawnCountdown.h"

#include "net/UtcTimestamp.h"

namespace {

constexpr int64_t kSecondsPerHour = 3600;

}  // namespace

std::optional<int64_t> respawnCountdownSeconds(const BossInfo& boss, int64_t now) {
    if (boss.type == "magical_creature") return std::nullopt;
    if (static_cast<uint32_t>(boss.respawnTime) > 59) return std::nullopt;
    if (now < 0 || now > kLatestCalendarSecond) return std::nullopt;

    // Whole hours are whole in UTC, so the second of the hour is the remainder.
    const int64_t current = now % kSecondsPerHour;
    const int64_t target = static_cast<int64_t>(boss.respawnTime) * 60;
    return current < target ? target - current : target + kSecondsPerHour - current;
}

std::wstring respawnCountdownText(const BossInfo& boss, int64_t now) {
    const std::optional<int64_t> remaining = respawnCountdownSeconds(boss, now);
    if (!remaining) return {};
    // Digits and Latin letters only, which widen byte by byte.
    const std::string text = countdownText(*remaining);
    return std::wstring(text.begin(), text.end());
}

std::string countdownText(int64_t seconds) {
    const int64_t minutes = seconds / 60;
    if (minutes > 0) return std::to_string(minutes) + "m " + std::to_string(seconds % 60) + "s";
    return std::to_string(seconds) + "s";
}
