#include "ButtonFace_win.h"

#include "FocusRing_win.h"
#include "Painter_win.h"
#include "Theme.h"

namespace {

Color baseColor(const ButtonFaceState& s) {
    if (s.pressed) return ColorControlBg;
    return s.hovered ? ColorButtonHoverFace : ColorButtonFace;
}

Color borderColor(const ButtonFaceState& s) {
    if (s.accentBorder) return ColorAccent;
    return s.pressed ? ColorBorderPressed : ColorBorder;
}

}  // namespace

void PaintButtonFace(HDC dc, const RECT& r, const ButtonFaceState& state, DpiScale scale) {
    // The corners outside the rounded face show the window background the buttons sit on.
    FillSolidRect(dc, r, ColorWindowBg);
    const Color base = baseColor(state);
    const int radius = scale.px(ButtonCornerRadius());
    FillRoundRectGradient(dc, r, radius, AdjustColor(base, state.brightTop ? 10 : 6),
                          AdjustColor(base, state.pressed ? -10 : -6));
    StrokeRoundRect(dc, r, radius, borderColor(state), scale.px(1.2f));
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    StrokeRoundRect(dc, inner, radius - 1, AdjustColor(base, 18), scale.px(1.0f));
    if (state.focusRing) PaintFocusRing(dc, r, radius, scale);
}
