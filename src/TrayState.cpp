#include "TrayState.h"

bool TrayIsGreen(unsigned connectionState, uint32_t msSinceData, uint32_t msFresh) {
    return connectionState == CONNECTION_CONNECTED &&
           uint64_t{msSinceData} < uint64_t{kDataFlowingMs} + uint64_t{msFresh};
}
