#include "MonitorClamp.h"

#include <algorithm>

ScreenRect ClampRectToMonitor(const ScreenRect& window, const ScreenRect& monitor) {
    const int width = std::min(window.width(), monitor.width());
    const int height = std::min(window.height(), monitor.height());
    return KeepInside(
        {window.left, window.top, ClampToInt(int64_t{window.left} + width), ClampToInt(int64_t{window.top} + height)},
        monitor);
}
