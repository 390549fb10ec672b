#pragma once

#include <windows.h>

#include "FloatRect.h"
#include "ScopedGdi_win.h"

namespace Gdiplus {
class GpGraphics;
class GpPath;
}  // namespace Gdiplus

// Anti-aliased painting through GDI+ onto an ordinary DC. Every call creates and deletes its own GDI+
// objects; a failure leaves the drawing undone and reports nothing.

// A plain GDI fill, for flat backgrounds.
void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color);

// Replaces the path's contents with one closed rounded rectangle; a radius of half the height is a capsule.
void AddRoundedRectPath(Gdiplus::GpPath* path, const FloatRect& rect, float radius);
void FillRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color);
// Vertical gradient from the rectangle's top edge to its bottom edge.
void FillRoundRectGradient(HDC hdc, const RECT& rect, int radius, COLORREF topColor, COLORREF bottomColor);
void StrokeRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color, float penWidth);
// Icon 0, an unknown icon or an empty rectangle draws nothing. Filled, its closed figures are painted inside too.
void DrawVectorIcon(HDC hdc, unsigned icon, const RECT& rect, COLORREF color, float penWidth, bool filled = false);
// Scales the path into the rectangle (see FitIconBounds) and strokes it with round caps and joins; false, and the
// path as it was, when it has no extent to scale.
bool FitAndStrokePath(Gdiplus::GpGraphics* graphics, Gdiplus::GpPath* path, const RECT& rect, COLORREF color,
                      float penWidth);
// A solid anti-aliased triangle (the menu's submenu arrows).
void FillTriangle(HDC hdc, const POINT (&corners)[3], COLORREF color);

// Every font of the kit and the views: the widget face at a pixel height as CreateFontW takes it
// (negative: the characters' height; positive: the cell's), proportional or fixed pitch.
enum class FontPitch { Variable, Fixed };
UniqueFont CreateWidgetFont(int pixelHeight, FontPitch pitch = FontPitch::Variable);

ScreenRect ToScreenRect(const RECT& r);
