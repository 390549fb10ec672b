#pragma once

#include <windows.h>

#include <optional>

#include "MonitorClamp.h"

// The full rectangle of the monitor nearest to r; none when it cannot be read.
std::optional<ScreenRect> MonitorRectNear(const RECT& r);
// Clamps against the full rectangle of the monitor nearest to r; r unchanged when the monitor is unknown.
RECT ClampRectToMonitor(const RECT& r);
