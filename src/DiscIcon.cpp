#include "DiscIcon.h"

namespace {

constexpr int kCentre = 16;
constexpr int kRadiusSquared = 196;

uint32_t scaled(uint32_t channel, float factor) {
    return static_cast<uint32_t>(static_cast<float>(channel) * factor);
}

}  // namespace

DiscIconPixel discIconPixel(int x, int y, uint32_t color) {
    const int d = (x - kCentre) * (x - kCentre) + (y - kCentre) * (y - kCentre);
    if (d > kRadiusSquared) return {};
    const float factor = 1.0f - (static_cast<float>(d) / kRadiusSquared) * 0.3f;
    const uint32_t red = scaled(color & 0xFF, factor);
    const uint32_t green = scaled((color >> 8) & 0xFF, factor);
    const uint32_t blue = scaled((color >> 16) & 0xFF, factor);
    return {true, red | (green << 8) | (blue << 16)};
}
