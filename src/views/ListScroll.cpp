#include "views/ListScroll.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int kWheelNotch = 120;
constexpr int kShortestThumb = 15;
constexpr int kShortestDragThumb = 10;  // the drag arithmetic has always used a shorter thumb than the drawn one

}  // namespace

int RowHeightForTextScale(int percent, DpiScale scale) {
    const int64_t pixels = int64_t{percent} * 40 * scale.dpi() / (100 * DpiScale::kBaseDpi);
    return static_cast<int>(std::clamp<int64_t>(pixels, 1, std::numeric_limits<int>::max()));
}

void ListScroll::SetClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
}

void ListScroll::SetRowHeight(int pixels) {
    rowHeight_ = std::max(1, pixels);
}

void ListScroll::SetRowCount(int rows) {
    rows_ = std::max(0, rows);
    position_ = clamp(position_);
}

bool ListScroll::ScrollTo(int position) {
    const int clamped = clamp(position);
    if (clamped == position_) return false;
    position_ = clamped;
    return true;
}

int ListScroll::maximum() const {
    return std::max(0, rows_ - visibleRows());
}

int ListScroll::drawnEnd() const {
    return std::min(rows_, position_ + visibleRows() + 1);
}

int ListScroll::clamp(int position) const {
    return std::clamp(position, 0, maximum());
}

int ListScroll::WheelTarget(int wheelDelta) const {
    return clamp(position_ - wheelDelta / kWheelNotch);
}

bool ListScroll::InStrip(int x, int y) const {
    return x >= clientWidth_ - stripWidth() && x < clientWidth_ && y >= 0 && y < clientHeight_;
}

std::optional<ScreenRect> ListScroll::ThumbRect() const {
    if (!overflows()) return std::nullopt;
    const int visible = visibleRows();
    const int length = std::max(scale_.px(kShortestThumb), visible * clientHeight_ / rows_);
    const int offset = (clientHeight_ - length) * position_ / (rows_ - visible);
    const int inset = scale_.px(2);
    return ScreenRect{clientWidth_ - scale_.px(10), offset + inset, clientWidth_ - inset, offset + length - inset};
}

int ListScroll::DragTarget(int startPosition, int dy) const {
    const int most = maximum();
    if (clientHeight_ <= 0 || most <= 0) return position_;
    const int track = clientHeight_ - std::max(scale_.px(kShortestDragThumb), visibleRows() * clientHeight_ / rows_);
    if (track <= 0) return position_;
    const int thumbTop = startPosition * track / most + dy;
    if (thumbTop <= 0) return 0;
    if (thumbTop >= track) return most;
    return std::clamp((track / 2 + most * dy) / track + startPosition, 0, most);
}
