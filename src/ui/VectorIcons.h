#pragma once

#include <vector>

#include "FloatRect.h"

// The built-in line icons, drawn on a 24 x 24 design grid (x right, y down); stroked, and those with closed
// figures (the bell) may also be filled.
enum VectorIcon : unsigned {
    VectorIconNone = 0,
    VectorIconPlus = 1,
    VectorIconDiagonal = 2,
    VectorIconTrash = 3,
    VectorIconGear = 4,
    VectorIconChevronUp = 5,
    VectorIconChevronDown = 6,
    VectorIconCheck = 7,
    VectorIconBell = 8,
};

struct IconPoint {
    float x = 0;
    float y = 0;
};

// One unconnected figure of an icon: a polyline through its points, a rectangle or an ellipse
// (those two given by their box: points[0] = left/top, points[1] = width/height).
struct IconFigure {
    enum Kind { Polyline, Rectangle, Ellipse } kind = Polyline;
    std::vector<IconPoint> points;
};

// The icon's figures in drawing order; empty for 0 and for values outside the set.
std::vector<IconFigure> IconFigures(unsigned icon);

// Maps icon points p to scale * p + (offsetX, offsetY): the icon keeps its aspect ratio, leaves at
// least 2 px free on each side of the target and its bounds are centred there.
struct IconFit {
    bool drawable = false;
    float scale = 1;
    float offsetX = 0;
    float offsetY = 0;
};
IconFit FitIconBounds(const FloatRect& bounds, const ScreenRect& target);
