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

// Slider thumbs and button icons.
constexpr Color ColorThumbDragged = Rgb(220, 220, 220);
constexpr Color ColorThumb = Rgb(170, 170, 170);
constexpr Color ColorIcon = Rgb(235, 235, 235);

// Notification titles by kind.
constexpr Color ColorNoticeWarning = Rgb(255, 200, 100);
constexpr Color ColorNoticeInfo = Rgb(100, 200, 255);

// The combo box: its field, chevron, drop-down list and highlighted row.
constexpr Color ColorFieldFace = Rgb(50, 50, 50);
constexpr Color ColorFieldFaceHover = Rgb(62, 62, 62);
constexpr Color ColorChevron = ColorIcon;
constexpr Color ColorListFace = Rgb(42, 42, 42);
constexpr Color ColorHighlight = ColorSliderFill;

// The channel list: frame, empty-state text, scrollbar and the rows' bars.
constexpr Color ColorListFrame = Rgb(60, 60, 60);
constexpr Color ColorEmptyText = Rgb(150, 150, 150);
constexpr Color ColorScrollStrip = Rgb(40, 40, 40);
constexpr Color ColorScrollThumb = Rgb(80, 80, 80);
constexpr Color ColorScrollThumbHover = Rgb(100, 100, 100);
constexpr Color ColorScrollThumbDragged = Rgb(120, 120, 120);
constexpr Color ColorBarTrack = Rgb(60, 60, 60);
constexpr Color ColorBarOutline = Rgb(128, 128, 128);
constexpr Color ColorBarLow = Rgb(255, 0, 0);       // under 25% HP
constexpr Color ColorBarMiddle = Rgb(255, 200, 0);  // under 50% HP
constexpr Color ColorBarHigh = Rgb(0, 200, 0);
constexpr Color ColorOverlayOutline = Rgb(255, 200, 0);

// The program's icons: the window's disc, and the tray's while data flow or not.
constexpr Color ColorAppIcon = Rgb(100, 151, 255);
constexpr Color ColorTrayLive = Rgb(0, 255, 0);
constexpr Color ColorTrayDown = Rgb(255, 0, 0);

constexpr int ButtonCornerRadius() {
    return 8;
}
constexpr int ControlCornerRadius() {
    return 6;
}

// Text heights in pixels as CreateWidgetFont takes them (negative: the characters' height): dialogs,
// menus and the combo box, then buttons. Labels give theirs in points.
constexpr int kTextHeight = -14;
constexpr int kButtonTextHeight = -12;

// When the face is not installed the font mapper substitutes the platform's default sans face.
constexpr wchar_t kWidgetFontFace[] = L"FiraSans";
