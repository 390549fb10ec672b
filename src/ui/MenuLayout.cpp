#include "MenuLayout.h"

#include <algorithm>

namespace {

constexpr int kTopMargin = 8;
constexpr int kRowHeight = 28;
constexpr int kSeparatorHeight = 9;
constexpr int kMinTextWidth = 100;
constexpr int kTextInset = 30;
constexpr int kCheckLeft = 8;
constexpr int kCheckTop = 6;
constexpr int kCheckSize = 16;
constexpr int kBottomClearance = 5;

}  // namespace

TierLayout LayOutTier(const std::vector<MenuRow>& rows, DpiScale scale) {
    const int rowHeight = scale.px(kRowHeight);
    const int separatorHeight = scale.px(kSeparatorHeight);
    const int textInset = scale.px(kTextInset);
    const int checkLeft = scale.px(kCheckLeft);
    const int checkTop = scale.px(kCheckTop);
    const int checkSize = scale.px(kCheckSize);
    TierLayout layout;
    int maxText = scale.px(kMinTextWidth);
    int y = scale.px(kTopMargin);
    std::vector<int> tops;
    for (const MenuRow& row : rows) {
        tops.push_back(y);
        if (!row.separator) maxText = std::max(maxText, row.textWidth);
        y += row.separator ? separatorHeight : rowHeight;
    }
    layout.width = maxText + 2 * textInset;
    layout.height = y;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int top = tops[i];
        const int bottom = top + (rows[i].separator ? separatorHeight : rowHeight);
        MenuRowRects r;
        r.item = {0, top, layout.width, bottom};
        r.text = {textInset, top, layout.width - textInset, bottom};
        if (!rows[i].separator)
            r.check = {checkLeft, top + checkTop, checkLeft + checkSize, top + checkTop + checkSize};
        layout.rows.push_back(r);
    }
    return layout;
}

int HitTestTier(const TierLayout& layout, const std::vector<MenuRow>& rows, int x, int y) {
    if (x < 0 || x >= layout.width || y < 0 || y >= layout.height) return -1;
    for (size_t i = 0; i < layout.rows.size(); ++i) {
        if (!layout.rows[i].item.contains(x, y)) continue;
        return rows[i].separator || !rows[i].enabled ? -1 : static_cast<int>(i);
    }
    return -1;
}

bool RootOpensLeft(int x, const ScreenRect& work) {
    return (x - work.left) > work.width() * 7 / 10;
}

TierPlacement PlaceTier(int x, int y, int width, int height, bool opensLeft, const ScreenRect& work, DpiScale scale) {
    TierPlacement p;
    p.opensLeft = opensLeft;
    if (opensLeft) {
        p.left = x - width;
        if (p.left < work.left) {
            p.left = x;
            p.opensLeft = false;
        }
    } else {
        p.left = x;
        if (x + width > work.right) {
            p.left = x - width;
            p.opensLeft = true;
        }
    }
    p.top = y;
    if (y + height > work.bottom) {
        // The tier's bottom lines up with the bottom of the row it was opened from.
        p.top = y - height + scale.px(kRowHeight);
        if (p.top < work.top) p.top = work.bottom - height - scale.px(kBottomClearance);
    }
    p.top = std::max(p.top, work.top);
    return p;
}

bool SubmenuOpensLeft(bool parentOpensLeft, int parentLeft, int parentRight, int width, const ScreenRect& work) {
    if (parentOpensLeft && parentLeft - width < work.left) return false;
    if (!parentOpensLeft && parentRight + width > work.right) return true;
    return parentOpensLeft;
}
