#pragma once

#include "base/ScreenRect.h"

// A rectangle in fractional pixels: origin and size.
struct FloatRect {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;
};

// The float rectangle a rounded-rectangle painter traces for r: moved in by half a pixel so that a
// 1-pixel outline falls on whole pixels.
inline FloatRect PixelAlignedRect(const ScreenRect& r) {
    const auto extent = [](int size) { return size - 1 > 0 ? static_cast<float>(size - 1) : 0.0f; };
    return {r.left + 0.5f, r.top + 0.5f, extent(r.width()), extent(r.height())};
}
