#include "SliderGeometry.h"

#include <algorithm>

namespace {

constexpr int kMouseInset = 16;
constexpr int kTrackInset = 12;
constexpr int kTrackHeight = 6;
constexpr int kThumbWidth = 14;
constexpr int kPageStep = 10;

}  // namespace

std::optional<int> SliderValueAt(int x, int width, int min, int max, DpiScale scale) {
    const int mouseInset = scale.px(kMouseInset);
    const int span = width - 2 * mouseInset;
    if (span < 1) return std::nullopt;
    const int pos = x - mouseInset;
    int candidate = max;
    if (pos <= 0) {
        candidate = min;
    } else if (pos < span) {
        candidate = min + static_cast<int>((static_cast<long long>(max - min) * pos + span / 2) / span);
    }
    return std::clamp(candidate, min, std::max(min, max));
}

int SliderValueForKey(SliderKey key, int value, int min, int max) {
    const int top = std::max(min, max);
    if (key == SliderKey::Home) return min;
    if (key == SliderKey::End) return top;
    const int step = key == SliderKey::PageDown || key == SliderKey::PageUp ? kPageStep : 1;
    const bool up = key == SliderKey::StepUp || key == SliderKey::PageUp;
    return std::clamp(value + (up ? step : -step), min, top);
}

SliderLayout LayOutSlider(int width, int height, int value, int min, int max, DpiScale scale) {
    const int trackInset = scale.px(kTrackInset);
    const int trackHeight = scale.px(kTrackHeight);
    const int thumbWidth = scale.px(kThumbWidth);
    SliderLayout layout;
    layout.track = {trackInset, (height - trackHeight) / 2, width - trackInset, (height + trackHeight) / 2};
    const int travel = width - 2 * trackInset - thumbWidth;
    const int offset =
        max - min >= 1 ? static_cast<int>(static_cast<long long>(value - min) * travel / (max - min)) : 0;
    const int thumbLeft = offset + trackInset;
    layout.fill = layout.track;
    layout.fill.right = std::max(std::min(layout.track.right, thumbLeft + thumbWidth / 2), layout.track.left);
    layout.thumb = {thumbLeft, (height - (height - trackHeight)) / 2, thumbLeft + thumbWidth,
                    (height + (height - trackHeight)) / 2};
    return layout;
}
