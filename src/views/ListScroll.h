#pragma once

#include <optional>

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// Pixels per row at a text scale on top of the display scale: 40 at 100% and 96 dpi. At least 1
// whatever the scales, so nothing divides by 0.
int RowHeightForTextScale(int percent, DpiScale scale);

// The channel list's vertical scrolling: the first row shown, the drawn scrollbar's thumb and dragging it.
// Every operation leaves the position within [0, maximum].
class ListScroll {
public:
    // The scrollbar's strip, its thumb's insets and shortest lengths grow with the display scale.
    void SetScale(DpiScale scale) { scale_ = scale; }
    int stripWidth() const { return scale_.px(kStripWidth); }
    void SetClientSize(int width, int height);
    void SetRowHeight(int pixels);
    // Keeps the position where it is still valid, else moves it to the new maximum.
    void SetRowCount(int rows);
    // Clamped; true when the position changed.
    bool ScrollTo(int position);

    int position() const { return position_; }
    int rowHeight() const { return rowHeight_; }
    int visibleRows() const { return clientHeight_ / rowHeight_; }
    int maximum() const;
    bool overflows() const { return rows_ > visibleRows(); }
    // One past the last row drawn: every whole visible row and one partly visible below them.
    int drawnEnd() const;

    // The position after `wheelDelta` (positive: away from the user, scrolling up); one row per notch.
    int WheelTarget(int wheelDelta) const;
    bool InStrip(int x, int y) const;
    // Client rectangle of the thumb; none while every row fits.
    std::optional<ScreenRect> ThumbRect() const;
    // The position while dragging the thumb `dy` pixels from where it was grabbed at `startPosition`.
    int DragTarget(int startPosition, int dy) const;

private:
    static constexpr int kStripWidth = 12;

    int clamp(int position) const;

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    DpiScale scale_;
    int rowHeight_ = 30;
    int rows_ = 0;
    int position_ = 0;
};
