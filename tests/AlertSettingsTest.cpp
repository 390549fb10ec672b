#include <gtest/gtest.h>

#include <tuple>

#include "AlertSettings.h"

TEST(AlertSettings, EachRuleComesFromItsOwnSetting) {
    struct Case {
        const char* name;
        bool dying, respawn, sound;
        int32_t dyingSeconds, respawnSeconds;
    };
    const Case cases[] = {
        {"dying alone, silent", true, false, false, 30, 600},
        {"respawn alone, sounding", false, true, true, 600, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings(L"unused.ini");
        settings.AlertDying = c.dying;
        settings.AlertDyingSeconds = c.dyingSeconds;
        settings.AlertRespawn = c.respawn;
        settings.AlertRespawnSeconds = c.respawnSeconds;
        settings.AlertSound = c.sound;
        const AlertRules rules = AlertRulesOf(settings);
        EXPECT_EQ(std::make_tuple(rules.dying, rules.dyingSeconds, rules.respawn, rules.respawnSeconds, rules.sound),
                  std::make_tuple(c.dying, c.dyingSeconds, c.respawn, c.respawnSeconds, c.sound));
    }
}
