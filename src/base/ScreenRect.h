#pragma once

#include <algorithm>

// A rectangle in physical pixels, laid out like the platform's RECT: right and bottom exclusive. Screen
// or client coordinates, as its user says.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const ScreenRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const ScreenRect& o) const { return !(*this == o); }
};

// Moves window inside area without resizing it. Where it is larger than the area, its left and top edges
// line up with the area's: a window's title and a list's first rows are what must stay reachable.
inline ScreenRect KeepInside(const ScreenRect& window, const ScreenRect& area) {
    const int left = std::max(std::min(window.left, area.right - window.width()), area.left);
    const int top = std::max(std::min(window.top, area.bottom - window.height()), area.top);
    return {left, top, left + window.width(), top + window.height()};
}
