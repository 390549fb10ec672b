#include <gtest/gtest.h>

#include <cmath>

#include "StatusText.h"
#include "TrayState.h"

TEST(StatusText, StatusLineForEveryState) {
    const int64_t at140307 = 1796652187;                    // 2026-12-07 14:03:07 UTC
    const std::wstring on = L"\u25CF Connected | \u2193 ";  // a connected line up to what came in
    struct Case {
        unsigned state;
        uint64_t received, sent;
        uint32_t attempts;
        int32_t activity;
        int64_t lastSync;
        std::wstring text;
    };
    const Case cases[] = {
        {CONNECTION_CONNECTED, 900, 180, 0, 0, 0, on + L"900 B/req \u2191 180 B/req. | NTP: Syncing..."},
        {CONNECTION_CONNECTED, 1023, 1024, 0, 1, at140307, on + L"0 KB/req \u2191 1 KB/req.. | NTP: 14:03:07 UTC"},
        {CONNECTION_CONNECTED, 1024, 10, 0, 0, at140307, on + L"1 KB/req \u2191 0 KB/req. | NTP: 14:03:07 UTC"},
        {CONNECTION_CONNECTED, 5u << 20, 0, 0, 2, at140307, on + L"5120 KB/req \u2191 0 KB/req... | NTP: 14:03:07 UTC"},
        {CONNECTION_DISCONNECTED, 0, 0, 0, 0, 0, L"Disconnected | NTP: Syncing..."},
        {CONNECTION_CONNECTING, 0, 0, 0, 0, 86399, L"Connecting... | NTP: 23:59:59 UTC"},
        {CONNECTION_RECONNECTING, 0, 0, 7, 0, at140307, L"Reconnecting... (attempt 7) | NTP: 14:03:07 UTC"},
        {CONNECTION_CONNECTED, 900, 180, 2, 0, 0, L"Reconnecting... (attempt 2) | NTP: Syncing..."},
        {9, 0, 0, 0, 0, -5, L"Disconnected | NTP: Error"},
        {CONNECTION_DISCONNECTED, 0, 0, 0, 0, 40000000000, L"Disconnected | NTP: Error"},
    };
    for (const Case& c : cases) {
        const TrafficSnapshot traffic{0, 0, c.received, c.sent, 0, c.attempts};  // the last request's, no totals
        EXPECT_EQ(StatusLineText(c.state, traffic, c.activity, c.lastSync), c.text);
    }
}

TEST(StatusText, CacheAge) {
    struct Case {
        double seconds;
        const wchar_t* text;
    };
    const Case cases[] = {
        {-1.0, L"Cache: ---"},         {0.0, L"Cache: 0.00s"},   {0.5, L"Cache: 0.50s"},    {0.999, L"Cache: 1.00s"},
        {1.0, L"Cache: 1.0s"},         {59.96, L"Cache: 60.0s"}, {60.0, L"Cache: 1m 0s"},   {61.5, L"Cache: 1m 1s"},
        {3599.9, L"Cache: 59m 59s"},   {3725, L"Cache: 1h 2m"},  {86400, L"Cache: 24h 0m"}, {86400.5, L"Cache: ---"},
        {std::nan(""), L"Cache: ---"}, {1e300, L"Cache: ---"},
    };
    for (const Case& c : cases) EXPECT_EQ(CacheAgeText(c.seconds), c.text) << c.seconds;
}

TEST(TrayState, GreenOnlyWhileConnectedAndDataFlow) {
    struct Case {
        const char* name;
        unsigned state;
        uint32_t msSinceData, msFresh;
        bool green;
    };
    const Case cases[] = {
        {"connected, data just now", CONNECTION_CONNECTED, 0, 0, true},
        {"connected, data a moment before the limit", CONNECTION_CONNECTED, kDataFlowingMs - 1, 0, true},
        {"connected, data at the limit", CONNECTION_CONNECTED, kDataFlowingMs, 0, false},
        {"a tracker's freshness moves the limit", CONNECTION_CONNECTED, kDataFlowingMs + 1999, 2000, true},
        {"and no further", CONNECTION_CONNECTED, kDataFlowingMs + 2000, 2000, false},
        {"reconnecting, data just now", CONNECTION_RECONNECTING, 0, 2000, false},
        {"disconnected, data just now", CONNECTION_DISCONNECTED, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrayIsGreen(c.state, c.msSinceData, c.msFresh), c.green);
    }
}
