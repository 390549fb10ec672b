#pragma once

#include <functional>

// The tracker client's connection as its worker announces it; the values travel as the wParam of the
// main window's connection message.
enum ConnectionState : unsigned {
    CONNECTION_DISCONNECTED = 0,
    CONNECTION_CONNECTING = 1,
    CONNECTION_CONNECTED = 2,
    CONNECTION_RECONNECTING = 3,
};

// Called on the client's worker thread.
using ConnectionListener = std::function<void(ConnectionState)>;
