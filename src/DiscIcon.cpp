#include "DiscIcon.h"

namespace {

uint32_t scaled(uint32_t channel, float factor) {
    return static_cast<uint32_t>(static_cast<float>(channel) * factor);
}

}  // namespace

DiscIconPixel discIconPixel(int x, int y, int size, uint32_t color) {
    const int centre = size / 2;
    const float radius = 14.0f * static_cast<float>(size) / 32.0f;
    const float radiusSquared = radius * radius;
    const auto d = static_cast<float>((x - centre) * (x - centre) + (y - centre) * (y - centre));
    if (d > radiusSquared) return {};
    const float factor = 1.0f - (d / radiusSquared) * 0.3f;
    const uint32_t red = scaled(color & 0xFF, factor);
    const uint32_t green = scaled((color >> 8) & 0xFF, factor);
    const uint32_t blue = scaled((color >> 16) & 0xFF, factor);
    return {true, red | (green << 8) | (blue << 16)};
}
