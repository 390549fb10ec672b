#pragma once

// Private messages of the main window. Kept free of Windows headers so portable code can name them;
// 0x0400 is WM_USER.
constexpr unsigned WM_TRAY_CALLBACK = 0x0400 + 1;
constexpr unsigned WM_BOSS_LIST_LOADED = 0x0400 + 100;
constexpr unsigned WM_RESERVED_1125 = 0x0400 + 101;
constexpr unsigned WM_CONNECTION_STATE = 0x0400 + 102;

// wParam of WM_CONNECTION_STATE.
enum ConnectionState : unsigned {
    CONNECTION_DISCONNECTED = 0,
    CONNECTION_CONNECTING = 1,
    CONNECTION_CONNECTED = 2,
    CONNECTION_RECONNECTING = 3,
};

// Timers of the main window.
constexpr unsigned TIMER_STATUS = 1;
constexpr unsigned TIMER_DATA = 3;
constexpr unsigned TIMER_FOREGROUND = 4;
constexpr unsigned TIMER_NTP = 5;
