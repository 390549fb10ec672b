#pragma once

#include <optional>

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// The horizontal slider's arithmetic. At 96 dpi the mouse maps onto x = 16 .. width - 16, while the
// thumb's centre runs from x = 19 to width - 19: two different spans, kept as they are. Every length
// grows with the scale.

// The value a press or drag at client x selects, clamped to min .. max; none when the slider is 32 px
// wide or less.
std::optional<int> SliderValueAt(int x, int width, int min, int max, DpiScale scale);

// The keys a focused slider answers: Left or Down and Right or Up move by one, Page Down and Page Up by ten,
// Home and End go to the ends.
enum class SliderKey { StepDown, StepUp, PageDown, PageUp, Home, End };
// The value a key moves the slider to, clamped to min .. max.
int SliderValueForKey(SliderKey key, int value, int min, int max);

struct SliderLayout {
    ScreenRect track;  // 6 px high, 12 px in from both ends
    ScreenRect fill;   // the track up to the thumb's middle; drawn only when wider than 2 px
    ScreenRect thumb;  // 14 px wide, 3 px clear above and below
};
SliderLayout LayOutSlider(int width, int height, int value, int min, int max, DpiScale scale);
