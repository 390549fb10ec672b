#pragma once

#include <windows.h>

// Private messages of the main window.
constexpr UINT WM_TRAY_CALLBACK = WM_USER + 1;
constexpr UINT WM_BOSS_LIST_LOADED = WM_USER + 100;
constexpr UINT WM_RESERVED_1125 = WM_USER + 101;
constexpr UINT WM_CONNECTION_STATE = WM_USER + 102;  // wParam: a ConnectionState
constexpr UINT WM_MODEL_CHANGED = WM_USER + 103;

// Timers of the main window.
constexpr UINT_PTR TIMER_CLOCK = 1;
constexpr UINT_PTR TIMER_NTP = 5;
