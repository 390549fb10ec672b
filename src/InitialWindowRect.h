#pragma once

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// Where the overlay opens on `monitor`, once its display scale is known. A saved rectangle is physical pixels
// and stays as saved; the default one is a 96 dpi one and grows with the scale. Either is then clamped to the
// monitor.
ScreenRect InitialWindowRect(const ScreenRect& stored, bool saved, DpiScale scale, const ScreenRect& monitor);
