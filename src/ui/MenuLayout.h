#pragma once

#include <vector>

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// The popup menu's geometry: rows of one tier, where a tier goes near the work area's edges, and which
// row a point selects.

struct MenuRow {
    bool separator = false;
    bool enabled = true;
    int textWidth = 0;  // measured label width; unused for separators
};

struct MenuRowRects {
    ScreenRect item;   // the whole row
    ScreenRect text;   // where the label goes
    ScreenRect check;  // the check mark's box; empty for separators
};

struct TierLayout {
    int width = 0;
    int height = 0;
    std::vector<MenuRowRects> rows;
};

// At 96 dpi: 8 px top margin, 28 px rows, 9 px separators, no bottom margin; as wide as the widest
// label (at least 100 px) plus 60. Every length grows with the scale; label widths come measured.
TierLayout LayOutTier(const std::vector<MenuRow>& rows, DpiScale scale);

// The row at a client point, or -1 outside the tier, in the top margin, on a separator or a disabled row.
int HitTestTier(const TierLayout& layout, const std::vector<MenuRow>& rows, int x, int y);

// A root menu shown in the right 30 % of the work area opens leftwards.
bool RootOpensLeft(int x, const ScreenRect& work);

struct TierPlacement {
    int left = 0;
    int top = 0;
    bool opensLeft = false;
};
// Places a tier anchored at (x, y): on its preferred side unless it would leave the work area, and
// lifted when it would run past the bottom.
TierPlacement PlaceTier(int x, int y, int width, int height, bool opensLeft, const ScreenRect& work, DpiScale scale);

// A submenu keeps its parent's direction unless that side has no room for its width.
bool SubmenuOpensLeft(bool parentOpensLeft, int parentLeft, int parentRight, int width, const ScreenRect& work);
