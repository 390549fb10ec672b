#include "AlertSettings.h"

AlertRules AlertRulesOf(const Settings& settings) {
    return {settings.AlertDying, settings.AlertDyingSeconds, settings.AlertRespawn, settings.AlertRespawnSeconds,
            settings.AlertSound};
}
