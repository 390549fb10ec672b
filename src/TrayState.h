#pragma once

#include <cstdint>

#include "net/ConnectionState.h"

// How long channel data may pause before the tray icon turns red, beyond the time the tracker said its last
// summary stays as it is (for which it is not asked again).
constexpr uint32_t kDataFlowingMs = 2000;

// The tray icon's colour: green only while connected and channel data arrived within kDataFlowingMs plus
// `msFresh`, the freshness the last summary read was given.
bool TrayIsGreen(unsigned connectionState, uint32_t msSinceData, uint32_t msFresh);
