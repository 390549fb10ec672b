#include "AlertSettings.h"

#include "TrayMenu.h"

AlertRules AlertRulesOf(const Settings& settings) {
    return {settings.AlertDying, settings.AlertDyingSeconds, settings.AlertRespawn, settings.AlertRespawnSeconds,
            settings.AlertSound};
}

bool Settings::*AlertSwitchOf(int trayCommand) {
    switch (trayCommand) {
        case ID_TRAY_ALERT_DYING:
            return &Settings::AlertDying;
        case ID_TRAY_ALERT_RESPAWN:
            return &Settings::AlertRespawn;
        case ID_TRAY_ALERT_SOUND:
            return &Settings::AlertSound;
        default:
            return nullptr;
    }
}
