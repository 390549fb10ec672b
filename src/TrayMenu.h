#pragma once

#include <vector>

#include "ui/MenuItem.h"

// The tray menu's commands, as the main window receives them in WM_COMMAND.
enum TrayCommand : unsigned {
    ID_TRAY_TOGGLE = 2000,
    ID_TRAY_HELP = 2001,
    ID_TRAY_EXIT = 2002,
    ID_TRAY_ALERT_DYING = 2003,
    ID_TRAY_ALERT_RESPAWN = 2004,
    ID_TRAY_ALERT_SOUND = 2005,
    ID_TRAY_CLICK_THROUGH = 2006,
    ID_TRAY_START_WITH_WINDOWS = 2007,
};

// What the menu names or ticks: the window's modes and the alerts the player asked for.
struct TrayMenuState {
    bool visible = true;
    bool clickThrough = false;
    bool alertDying = false;
    bool alertRespawn = false;
    bool alertSound = false;
    bool startWithWindows = false;
};

// The menu the tray icon opens: the product's title, Show or Hide, click-through, the alerts, starting with
// Windows, help and exit.
std::vector<MenuItem> TrayMenuItems(const TrayMenuState& state);
