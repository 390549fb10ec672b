#pragma once

// A rectangle in pixels, laid out like the platform's RECT: right and bottom exclusive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// A rectangle in fractional pixels: origin and size.
struct FloatRect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

// The float rectangle a rounded-rectangle painter traces for r: moved in by half a pixel so that a
// 1-pixel outline falls on whole pixels.
inline FloatRect PixelAlignedRect(const PixelRect& r) {
    const auto extent = [](int size) { return size - 1 > 0 ? static_cast<float>(size - 1) : 0.0f; };
    return {r.left + 0.5f, r.top + 0.5f, extent(r.width()), extent(r.height())};
}
