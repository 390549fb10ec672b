#pragma once

#include <windows.h>

#include "MonitorClamp.h"

// Clamps against the full rectangle of the monitor nearest to r; r unchanged when the monitor is unknown.
RECT ClampRectToMonitor(const RECT& r);
