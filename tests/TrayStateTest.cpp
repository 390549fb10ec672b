#include <gtest/gtest.h>

#include "TrayState.h"

TEST(TrayState, GreenOnlyWhileConnectedAndDataFlow) {
    struct Case {
        const char* name;
        unsigned state;
        uint32_t msSinceData;
        bool green;
    };
    const Case cases[] = {
        {"connected, data just now", CONNECTION_CONNECTED, 0, true},
        {"connected, data a moment before the limit", CONNECTION_CONNECTED, kDataFlowingMs - 1, true},
        {"connected, data at the limit", CONNECTION_CONNECTED, kDataFlowingMs, false},
        {"reconnecting, data just now", CONNECTION_RECONNECTING, 0, false},
        {"disconnected, data just now", CONNECTION_DISCONNECTED, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TrayIsGreen(c.state, c.msSinceData), c.green);
    }
}
