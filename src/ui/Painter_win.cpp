#include "Painter_win.h"

#include <algorithm>
#include <memory>

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include "ColorMath.h"
#include "Theme.h"
#include "VectorIcons.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct GdiplusDeleter {
    void operator()(GpGraphics* g) const { GdipDeleteGraphics(g); }
    void operator()(GpPath* p) const { GdipDeletePath(p); }
    void operator()(GpBrush* b) const { GdipDeleteBrush(b); }
    void operator()(GpPen* p) const { GdipDeletePen(p); }
    void operator()(GpMatrix* m) const { GdipDeleteMatrix(m); }
};
template <typename T>
using GdiplusPtr = std::unique_ptr<T, GdiplusDeleter>;

GdiplusPtr<GpGraphics> antiAliasedGraphics(HDC hdc) {
    GpGraphics* graphics = nullptr;
    GdipCreateFromHDC(hdc, &graphics);
    if (graphics) {
        GdipSetSmoothingMode(graphics, SmoothingModeAntiAlias);
        GdipSetPixelOffsetMode(graphics, PixelOffsetModeHighQuality);
    }
    return GdiplusPtr<GpGraphics>(graphics);
}

GdiplusPtr<GpPath> newPath() {
    GpPath* path = nullptr;
    GdipCreatePath(FillModeAlternate, &path);
    return GdiplusPtr<GpPath>(path);
}

GdiplusPtr<GpPath> roundedRectPath(const RECT& rect, int radius) {
    auto path = newPath();
    if (path)
        AddRoundedRectPath(path.get(), PixelAlignedRect(ToScreenRect(rect)), static_cast<float>(std::max(radius, 0)));
    return path;
}

GdiplusPtr<GpBrush> solidBrush(COLORREF color) {
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(OpaqueArgb(color), &brush);
    return GdiplusPtr<GpBrush>(brush);
}

GdiplusPtr<GpPen> roundJoinedPen(COLORREF color, float width) {
    GpPen* pen = nullptr;
    GdipCreatePen1(OpaqueArgb(color), width, UnitWorld, &pen);
    if (pen) GdipSetPenLineJoin(pen, LineJoinRound);
    return GdiplusPtr<GpPen>(pen);
}

void fillPath(HDC hdc, const RECT& rect, int radius, GpBrush* brush) {
    auto graphics = antiAliasedGraphics(hdc);
    auto path = roundedRectPath(rect, radius);
    if (graphics && path && brush) GdipFillPath(graphics.get(), brush, path.get());
}

void addFigure(GpPath* path, const IconFigure& figure) {
    GdipStartPathFigure(path);
    const IconPoint* p = figure.points.data();
    switch (figure.kind) {
        case IconFigure::Rectangle:
            GdipAddPathRectangle(path, p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case IconFigure::Ellipse:
            GdipAddPathEllipse(path, p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case IconFigure::Polyline:
            for (size_t i = 1; i < figure.points.size(); ++i) {
                GdipAddPathLine(path, p[i - 1].x, p[i - 1].y, p[i].x, p[i].y);
            }
            break;
    }
}

}  // namespace

ScreenRect ToScreenRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void FillSolidRect(HDC hdc, const RECT& rect, COLORREF color) {
    UniqueBrush brush(CreateSolidBrush(color));
    FillRect(hdc, &rect, brush.get());
}

void AddRoundedRectPath(GpPath* path, const FloatRect& r, float radius) {
    const float d = 2 * radius;
    GdipResetPath(path);
    GdipAddPathArc(path, r.x, r.y, d, d, 180, 90);
    GdipAddPathArc(path, r.x + r.width - d, r.y, d, d, 270, 90);
    GdipAddPathArc(path, r.x + r.width - d, r.y + r.height - d, d, d, 0, 90);
    GdipAddPathArc(path, r.x, r.y + r.height - d, d, d, 90, 90);
    GdipClosePathFigure(path);
}

void FillRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color) {
    fillPath(hdc, rect, radius, solidBrush(color).get());
}

void FillRoundRectGradient(HDC hdc, const RECT& rect, int radius, COLORREF topColor, COLORREF bottomColor) {
    const FloatRect r = PixelAlignedRect(ToScreenRect(rect));
    const GpPointF top{r.x, r.y};
    const GpPointF bottom{r.x, r.y + r.height};
    GpLineGradient* gradient = nullptr;
    GdipCreateLineBrush(&top, &bottom, OpaqueArgb(topColor), OpaqueArgb(bottomColor), WrapModeTile, &gradient);
    fillPath(hdc, rect, radius, GdiplusPtr<GpBrush>(gradient).get());
}

void StrokeRoundRect(HDC hdc, const RECT& rect, int radius, COLORREF color, float penWidth) {
    auto graphics = antiAliasedGraphics(hdc);
    auto path = roundedRectPath(rect, radius);
    auto pen = roundJoinedPen(color, penWidth);
    if (graphics && path && pen) GdipDrawPath(graphics.get(), pen.get(), path.get());
}

void DrawVectorIcon(HDC hdc, unsigned icon, const RECT& rect, COLORREF color, float penWidth, bool filled) {
    const std::vector<IconFigure> figures = IconFigures(icon);
    if (figures.empty() || ToScreenRect(rect).empty()) return;
    auto graphics = antiAliasedGraphics(hdc);
    auto path = newPath();
    if (!graphics || !path) return;
    for (const IconFigure& figure : figures) addFigure(path.get(), figure);
    if (!FitAndStrokePath(graphics.get(), path.get(), rect, color, penWidth) || !filled) return;
    auto brush = solidBrush(color);
    if (brush) GdipFillPath(graphics.get(), brush.get(), path.get());
}

bool FitAndStrokePath(GpGraphics* graphics, GpPath* path, const RECT& rect, COLORREF color, float penWidth) {
    GpRectF bounds{};
    GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr);
    const IconFit fit = FitIconBounds({bounds.X, bounds.Y, bounds.Width, bounds.Height}, ToScreenRect(rect));
    if (!fit.drawable) return false;
    GpMatrix* matrix = nullptr;
    GdipCreateMatrix2(fit.scale, 0, 0, fit.scale, fit.offsetX, fit.offsetY, &matrix);
    GdiplusPtr<GpMatrix> transform(matrix);
    auto pen = roundJoinedPen(color, penWidth);
    if (!transform || !pen) return false;
    GdipTransformPath(path, transform.get());
    GdipSetPenStartCap(pen.get(), LineCapRound);
    GdipSetPenEndCap(pen.get(), LineCapRound);
    GdipDrawPath(graphics, pen.get(), path);
    return true;
}

void FillTriangle(HDC hdc, const POINT (&corners)[3], COLORREF color) {
    auto graphics = antiAliasedGraphics(hdc);
    auto brush = solidBrush(color);
    if (!graphics || !brush) return;
    GpPointF points[3];
    for (int i = 0; i < 3; ++i) points[i] = {static_cast<float>(corners[i].x), static_cast<float>(corners[i].y)};
    GdipFillPolygon(graphics.get(), brush.get(), points, 3, FillModeAlternate);
}

UniqueFont CreateWidgetFont(int pixelHeight, FontPitch pitch) {
    const DWORD pitchAndFamily = pitch == FontPitch::Fixed ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH;
    return UniqueFont(CreateFontW(pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, pitchAndFamily,
                                  kWidgetFontFace));
}
