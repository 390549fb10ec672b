#include "DiscIcon.h"

#include <cstddef>

namespace {

// Samples per pixel along each axis for the soft rim: enough for a rim without steps.
constexpr int kSamples = 4;

uint32_t scaled(uint32_t channel, float factor) {
    return static_cast<uint32_t>(static_cast<float>(channel) * factor);
}

// The disc of a size x size icon at a point; pixel (x, y) is the point (x, y).
DiscIconPixel shadeAt(float x, float y, int size, uint32_t color) {
    const auto centre = static_cast<float>(size / 2);
    const float radius = 14.0f * static_cast<float>(size) / 32.0f;
    const float radiusSquared = radius * radius;
    const float d = (x - centre) * (x - centre) + (y - centre) * (y - centre);
    if (d > radiusSquared) return {};
    const float factor = 1.0f - (d / radiusSquared) * 0.3f;
    const uint32_t red = scaled(color & 0xFF, factor);
    const uint32_t green = scaled((color >> 8) & 0xFF, factor);
    const uint32_t blue = scaled((color >> 16) & 0xFF, factor);
    return {true, red | (green << 8) | (blue << 16)};
}

}  // namespace

DiscIconPixel discIconPixel(int x, int y, int size, uint32_t color) {
    return shadeAt(static_cast<float>(x), static_cast<float>(y), size, color);
}

std::vector<uint32_t> discIconImage(int size, uint32_t color) {
    std::vector<uint32_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Samples spread over the pixel around its point, so that the rim's pixels are partly covered.
            uint32_t sums[3] = {0, 0, 0};
            uint32_t inside = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / kSamples - 0.5f;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / kSamples - 0.5f;
                    const DiscIconPixel sample = shadeAt(px, py, size, color);
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
