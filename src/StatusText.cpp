#include "StatusText.h"

#include <cstdio>

#include "net/UtcTimestamp.h"

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr uint64_t kKilobyte = 1024;

std::wstring widen(const char* ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

template <typename... Args>
std::wstring format(const char* pattern, Args... args) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, args...);
    return widen(text);
}

// Counts print as 32-bit signed numbers, as the line always has.
int32_t asPrinted(uint64_t count) {
    return static_cast<int32_t>(static_cast<uint32_t>(count));
}

}  // namespace

std::wstring NtpSuffixText(int64_t lastSyncTime) {
    if (lastSyncTime == 0) return L" | NTP: Syncing...";
    if (lastSyncTime < 0 || lastSyncTime > kLatestCalendarSecond) return L" | NTP: Error";
    const int64_t second = lastSyncTime % kSecondsPerDay;
    return format(" | NTP: %02d:%02d:%02d UTC", static_cast<int>(second / 3600), static_cast<int>(second / 60 % 60),
                  static_cast<int>(second % 60));
}

std::wstring StatusLineText(unsigned connectionState, const TrafficSnapshot& traffic, int32_t activityIndex,
                            int64_t lastSyncTime) {
    const std::wstring suffix = NtpSuffixText(lastSyncTime);
    // A running client is connected only while its summaries arrive.
    if (connectionState == CONNECTION_CONNECTED && traffic.reconnectAttempts > 0) {
        connectionState = CONNECTION_RECONNECTING;
    }
    switch (connectionState) {
        case CONNECTION_CONNECTING:
            return L"Connecting..." + suffix;
        case CONNECTION_CONNECTED: {
            const std::wstring dots(static_cast<std::size_t>(activityIndex % 3 + 1), L'.');
            const bool small = traffic.lastBytesReceived < kKilobyte && traffic.lastBytesSent < kKilobyte;
            const uint64_t unit = small ? 1 : kKilobyte;
            return L"\u25CF Connected | \u2193 " + std::to_wstring(asPrinted(traffic.lastBytesReceived / unit)) +
                   (small ? L" B/req \u2191 " : L" KB/req \u2191 ") +
                   std::to_wstring(asPrinted(traffic.lastBytesSent / unit)) + (small ? L" B/req" : L" KB/req") + dots +
                   suffix;
        }
        case CONNECTION_RECONNECTING:
            return L"Reconnecting... (attempt " + std::to_wstring(asPrinted(traffic.reconnectAttempts)) + L")" + suffix;
        default:
            return L"Disconnected" + suffix;
    }
}

std::wstring CacheAgeText(double seconds) {
    if (!(seconds >= 0 && seconds <= kSecondsPerDay)) return L"Cache: ---";
    if (seconds < 1) return format("Cache: %.2fs", seconds);
    if (seconds < 60) return format("Cache: %.1fs", seconds);
    if (seconds < 3600) {
        return format("Cache: %dm %ds", static_cast<int>(seconds / 60), static_cast<int>(seconds) % 60);
    }
    const int hours = static_cast<int>(seconds / 3600);
    return format("Cache: %dh %dm", hours, static_cast<int>((seconds - hours * 3600) / 60));
}
