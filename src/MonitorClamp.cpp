#include "MonitorClamp.h"

#include <algorithm>

ScreenRect ClampRectToMonitor(const ScreenRect& window, const ScreenRect& monitor) {
    const int width = std::min(window.width(), monitor.width());
    const int height = std::min(window.height(), monitor.height());
    int left = std::max(window.left, monitor.left);
    int top = std::max(window.top, monitor.top);
    if (left + width > monitor.right) left = monitor.right - width;
    if (top + height > monitor.bottom) top = monitor.bottom - height;
    return {left, top, left + width, top + height};
}
