#pragma once

#include <cstdint>

// Colours in the platform's COLORREF layout, 0x00BBGGRR: red in the low byte.
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue) {
    return static_cast<Color>(red) | static_cast<Color>(green) << 8 | static_cast<Color>(blue) << 16;
}
constexpr int RedOf(Color c) {
    return c & 0xFF;
}
constexpr int GreenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(Color c) {
    return (c >> 16) & 0xFF;
}

// The opaque ARGB value GDI+ expects for a colour.
constexpr std::uint32_t OpaqueArgb(Color c) {
    return 0xFF000000u | static_cast<std::uint32_t>(RedOf(c)) << 16 | static_cast<std::uint32_t>(GreenOf(c)) << 8 |
           static_cast<std::uint32_t>(BlueOf(c));
}

// Adds delta to each channel, clamped to 0..255: positive lightens, negative darkens.
Color AdjustColor(Color color, int delta);

// Moves each channel from `from` toward `to` by amount/255, rounding toward zero.
Color BlendColor(Color from, Color to, std::uint8_t amount);
