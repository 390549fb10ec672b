#pragma once

#include "base/ScreenRect.h"

// Shrinks the window to the monitor when it is larger, then moves it inside without shrinking further.
ScreenRect ClampRectToMonitor(const ScreenRect& window, const ScreenRect& monitor);
