#pragma once

#include <cstdint>

#include "net/ConnectionState.h"

// How long channel data may pause before the tray icon turns red.
constexpr uint32_t kDataFlowingMs = 2000;

// The tray icon's colour: green only while connected and channel data arrived within kDataFlowingMs.
bool TrayIsGreen(unsigned connectionState, uint32_t msSinceData);
