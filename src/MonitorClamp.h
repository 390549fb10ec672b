#pragma once

// A screen rectangle in physical pixels, laid out like the platform's RECT.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const ScreenRect& o) const { return !(*this == o); }
};

// Shrinks the window to the monitor when it is larger, then moves it inside without shrinking further.
ScreenRect ClampRectToMonitor(const ScreenRect& window, const ScreenRect& monitor);
