#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Rectangles come from the settings file, where any int is allowed: their differences and sums are taken in
// 64 bits and clamped back, never overflowed.
inline int ClampToInt(int64_t value) {
    return static_cast<int>(
        std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A rectangle in physical pixels, laid out like the platform's RECT: right and bottom exclusive. Screen
// or client coordinates, as its user says.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return ClampToInt(int64_t{right} - left); }
    int height() const { return ClampToInt(int64_t{bottom} - top); }
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
    const int64_t width = int64_t{window.right} - window.left;
    const int64_t height = int64_t{window.bottom} - window.top;
    const int64_t left = std::max<int64_t>(std::min<int64_t>(window.left, area.right - width), area.left);
    const int64_t top = std::max<int64_t>(std::min<int64_t>(window.top, area.bottom - height), area.top);
    return {ClampToInt(left), ClampToInt(top), ClampToInt(left + width), ClampToInt(top + height)};
}
