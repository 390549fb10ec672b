#pragma once

#include <windows.h>

// Private messages of the main window.
constexpr UINT WM_TRAY_CALLBACK = WM_USER + 1;
constexpr UINT WM_BOSS_LIST_LOADED = WM_USER + 100;
constexpr UINT WM_RESERVED_1125 = WM_USER + 101;
constexpr UINT WM_CONNECTION_STATE = WM_USER + 102;  // wParam: a ConnectionState
constexpr UINT WM_MODEL_CHANGED = WM_USER + 103;
// The settings keeper has a notice for the player about where the settings live.
constexpr UINT WM_SETTINGS_NOTICE = WM_USER + 104;

// Timers of the main window.
constexpr UINT_PTR TIMER_CLOCK = 1;
constexpr UINT_PTR TIMER_NTP = 5;
constexpr UINT_PTR TIMER_SAVE = 6;             // the settings keeper's changes are due
constexpr UINT_PTR TIMER_SETTINGS_NOTICE = 7;  // the settings' notice waits for another to be answered
