#include "MonitorClamp_win.h"

std::optional<ScreenRect> MonitorRectNear(const RECT& r) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return std::nullopt;
    return ScreenRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

RECT ClampRectToMonitor(const RECT& r) {
    const std::optional<ScreenRect> monitor = MonitorRectNear(r);
    if (!monitor) return r;
    const ScreenRect clamped = ClampRectToMonitor(ScreenRect{r.left, r.top, r.right, r.bottom}, *monitor);
    return RECT{clamped.left, clamped.top, clamped.right, clamped.bottom};
}
