#pragma once

#include "Settings.h"
#include "model/AlertTracker.h"

// The alerts the player asked for, as the settings hold them.
AlertRules AlertRulesOf(const Settings& settings);
