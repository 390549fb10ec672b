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
    const int64_t minutes = *remaining / 60;
    const int64_t seconds = *remaining % 60;
    if (minutes > 0) return std::to_wstring(minutes) + L"m " + std::to_wstring(seconds) + L"s";
    return std::to_wstring(seconds) + L"s";
}
