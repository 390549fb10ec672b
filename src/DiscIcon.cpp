#include "DiscIcon.h"

#include <cstddef>

namespace {

constexpr float kCentre = 16.0f;
constexpr float kRadiusSquared = 196.0f;
// Samples per pixel along each axis when drawing at other sizes: enough for a rim without steps.
constexpr int kSamples = 4;

uint32_t scaled(uint32_t channel, float factor) {
    return static_cast<uint32_t>(static_cast<float>(channel) * factor);
}

// The disc at a point of its 32-unit grid.
DiscIconPixel shadeAt(float x, float y, uint32_t color) {
    const float d = (x - kCentre) * (x - kCentre) + (y - kCentre) * (y - kCentre);
    if (d > kRadiusSquared) return {};
    const float factor = 1.0f - (d / kRadiusSquared) * 0.3f;
    const uint32_t red = scaled(color & 0xFF, factor);
    const uint32_t green = scaled((color >> 8) & 0xFF, factor);
    const uint32_t blue = scaled((color >> 16) & 0xFF, factor);
    return {true, red | (green << 8) | (blue << 16)};
}

}  // namespace

DiscIconPixel discIconPixel(int x, int y, uint32_t color) {
    return shadeAt(static_cast<float>(x), static_cast<float>(y), color);
}

std::vector<uint32_t> discIconImage(int size, uint32_t color) {
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    const float unit = static_cast<float>(kDiscIconSize) / static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Pixel centres map onto the grid's points, so that 32 pixels sample where discIconPixel does.
            uint32_t sums[3] = {0, 0, 0};
            uint32_t inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float gx = (static_cast<float>(x) + (sx + 0.5f) / kSamples) * unit - 0.5f;
                    const float gy = (static_cast<float>(y) + (sy + 0.5f) / kSamples) * unit - 0.5f;
                    const DiscIconPixel sample = shadeAt(gx, gy, color);
                    if (!sample.opaque) continue;
                    ++inside;
                    for (int c = 0; c < 3; ++c) sums[c] += (sample.color >> (8 * c)) & 0xFF;
                }
            }
            if (inside == 0) continue;
            const uint32_t alpha = inside * 255 / (kSamples * kSamples);
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)] =
                (sums[0] / inside) | (sums[1] / inside) << 8 | (sums[2] / inside) << 16 | alpha << 24;
        }
    }
    return pixels;
}
