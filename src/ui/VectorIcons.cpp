#include "VectorIcons.h"

#include <algorithm>
#include <cmath>

namespace {

IconFigure line(IconPoint from, IconPoint to) {
    return {IconFigure::Polyline, {from, to}};
}

IconFigure polyline(IconPoint a, IconPoint b, IconPoint c) {
    return {IconFigure::Polyline, {a, b, c}};
}

std::vector<IconFigure> gear() {
    std::vector<IconFigure> figures{{IconFigure::Ellipse, {{8, 8}, {8, 8}}}};
    for (int k = 0; k < 6; ++k) {
        const float a = k * 3.1415925f / 3;
        figures.push_back(
            line({12 + 5 * std::cos(a), 12 + 5 * std::sin(a)}, {12 + 8 * std::cos(a), 12 + 8 * std::sin(a)}));
    }
    return figures;
}

}  // namespace

std::vector<IconFigure> IconFigures(unsigned icon) {
    switch (icon) {
        case VectorIconPlus:
            return {line({12, 5}, {12, 19}), line({5, 12}, {19, 12})};
        case VectorIconDiagonal:
            return {line({7, 17}, {17, 7}), line({6, 18}, {9, 19}), line({18, 6}, {19, 9})};
        case VectorIconTrash:
            return {{IconFigure::Rectangle, {{8, 9}, {8, 11}}},
                    line({7, 9}, {17, 9}),
                    line({9, 7}, {15, 7}),
                    line({10, 11}, {10, 18}),
                    line({12, 11}, {12, 18}),
                    line({14, 11}, {14, 18})};
        case VectorIconGear:
            return gear();
        case VectorIconChevronUp:
            return {polyline({6, 15}, {12, 9}, {18, 15})};
        case VectorIconChevronDown:
            return {polyline({6, 9}, {12, 15}, {18, 9})};
        case VectorIconCheck:
            return {polyline({5, 13}, {10, 18}, {19, 7})};
        case VectorIconBell:
            return {{IconFigure::Polyline,
                     {{5, 17},
                      {7, 15},
                      {7, 10},
                      {8, 7.5f},
                      {10, 5.8f},
                      {12, 5.4f},
                      {14, 5.8f},
                      {16, 7.5f},
                      {17, 10},
                      {17, 15},
                      {19, 17},
                      {5, 17}}},
                    line({12, 3.5f}, {12, 5.4f}),
                    {IconFigure::Ellipse, {{10, 18.5f}, {4, 2.5f}}}};
        default:
            return {};
    }
}

IconFit FitIconBounds(const FloatRect& b, const ScreenRect& target) {
    if (b.width <= 0 || b.height <= 0) return {};
    const float w = static_cast<float>(target.width());
    const float h = static_cast<float>(target.height());
    const float scale = std::min(std::max(w - 4, 1.0f) / b.width, std::max(h - 4, 1.0f) / b.height);
    return {true, scale, (w - scale * b.width) / 2 + target.left - b.x * scale,
            (h - scale * b.height) / 2 + target.top - b.y * scale};
}
