#include "InitialWindowRect.h"

#include "MonitorClamp.h"

ScreenRect InitialWindowRect(const ScreenRect& stored, bool saved, DpiScale scale, const ScreenRect& monitor) {
    const ScreenRect wanted = saved ? stored
                                    : ScreenRect{scale.px(stored.left), scale.px(stored.top), scale.px(stored.right),
                                                 scale.px(stored.bottom)};
    return ClampRectToMonitor(wanted, monitor);
}
