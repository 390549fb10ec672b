#include "ColorMath.h"

#include <algorithm>

namespace {

int clampChannel(int v) {
    return std::clamp(v, 0, 255);
}

}  // namespace

Color AdjustColor(Color color, int delta) {
    return Rgb(clampChannel(RedOf(color) + delta), clampChannel(GreenOf(color) + delta),
               clampChannel(BlueOf(color) + delta));
}

Color BlendColor(Color from, Color to, std::uint8_t amount) {
    const auto blend = [amount](int a, int b) { return clampChannel(a + (b - a) * amount / 255); };
    return Rgb(blend(RedOf(from), RedOf(to)), blend(GreenOf(from), GreenOf(to)), blend(BlueOf(from), BlueOf(to)));
}
