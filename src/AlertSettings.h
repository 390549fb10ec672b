#pragma once

#include "Settings.h"
#include "model/AlertFeed.h"

// The alerts the player asked for, as the settings hold them.
AlertRules AlertRulesOf(const Settings& settings);
// The switch a tray menu item turns on and off (TrayMenu.h), or nullptr for an item that is no alert's.
bool Settings::*AlertSwitchOf(int trayCommand);
