#include <gtest/gtest.h>

#include <tuple>

#include "AlertSettings.h"

// Each switch on alone, so that no two can be crossed, and the two spans told apart.
TEST(AlertSettings, EachRuleComesFromItsOwnSetting) {
    for (int on = 0; on < 3; ++on) {
        SCOPED_TRACE(on);
        Settings settings(L"unused.ini");
        settings.AlertDying = on == 0;
        settings.AlertRespawn = on == 1;
        settings.AlertSound = on == 2;
        settings.AlertDyingSeconds = 30 + on;
        settings.AlertRespawnSeconds = 600 - on;
        const AlertRules rules = AlertRulesOf(settings);
        EXPECT_EQ(std::make_tuple(rules.dying, rules.respawn, rules.sound, rules.dyingSeconds, rules.respawnSeconds),
                  std::make_tuple(on == 0, on == 1, on == 2, 30 + on, 600 - on));
    }
}
