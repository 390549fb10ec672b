#include "MonitorClamp_win.h"

RECT ClampRectToMonitor(const RECT& r) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return r;
    const ScreenRect clamped = ClampRectToMonitor(
        ScreenRect{r.left, r.top, r.right, r.bottom},
        ScreenRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom});
    return RECT{clamped.left, clamped.top, clamped.right, clamped.bottom};
}
