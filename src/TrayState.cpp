#include "TrayState.h"

bool TrayIsGreen(unsigned connectionState, uint32_t msSinceData) {
    return connectionState == CONNECTION_CONNECTED && msSinceData < kDataFlowingMs;
}
