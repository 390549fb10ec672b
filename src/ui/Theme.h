#pragma once

#include "ColorMath.h"

// The kit's one dark theme: palette, corner radii and the widget font's face.
constexpr Color ColorWindowBg = Rgb(30, 30, 30);
constexpr Color ColorControlBg = Rgb(45, 45, 45);
constexpr Color ColorButtonFace = Rgb(60, 60, 60);
constexpr Color ColorButtonHoverFace = Rgb(80, 80, 80);
constexpr Color ColorBorder = Rgb(65, 65, 65);
constexpr Color ColorBorderPressed = Rgb(85, 85, 85);
constexpr Color ColorAccent = Rgb(110, 185, 255);
constexpr Color ColorSliderFill = Rgb(80, 160, 255);
constexpr Color ColorFrame = Rgb(70, 70, 70);
constexpr Color ColorText = Rgb(255, 255, 255);
constexpr Color ColorTextSoft = Rgb(220, 220, 220);
constexpr Color ColorTextDisabled = Rgb(100, 100, 100);
constexpr Color ColorCheck = Rgb(0, 120, 215);

constexpr int ButtonCornerRadius() {
    return 8;
}
constexpr int ControlCornerRadius() {
    return 6;
}

// When the face is not installed the font mapper substitutes the platform's default sans face.
constexpr wchar_t kWidgetFontFace[] = L"FiraSans";
