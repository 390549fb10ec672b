#include "views/ChannelRowPainter_win.h"

#include <cwchar>

#include "base/WideText.h"
#include "ui/FontFit.h"
#include "ui/Painter_win.h"
#include "ui/ScopedGdi_win.h"
#include "ui/Theme.h"
#include "views/ChannelRowText.h"

namespace {

constexpr wchar_t kSample[] = L"Ch. 999 | 100%";
// A long everyday overlay: the bar's text shrinks until this fits inside the bar.
constexpr wchar_t kOverlaySample[] = L"99m 59s (-9.9%/s)";
constexpr int kOverlayMargin = 4;
constexpr int kSmallestFont = 8;

UniqueFont rowFont(int height) {
    return CreateWidgetFont(height, FontPitch::Fixed);
}

SIZE textExtent(HDC dc, const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    return size;
}

}  // namespace

void ChannelRowPainter::SetScale(DpiScale scale) {
    if (scale == scale_) return;
    scale_ = scale;
    labelHeights_.clear();
    overlayHeights_.clear();
}

int ChannelRowPainter::FittedHeight(HDC dc, const wchar_t* sample, int width, int height, int highest,
                                    std::map<std::pair<int, int>, int>& known) const {
    const auto found = known.find({width, height});
    if (found != known.end()) return found->second;
    const int fitted = LargestFittingHeight(scale_.px(kSmallestFont), highest, [&](int candidate) {
        UniqueFont font = rowFont(candidate);
        ScopedSelect select(dc, font.get());
        const SIZE size = textExtent(dc, sample);
        return size.cx <= width && size.cy <= height;
    });
    known[{width, height}] = fitted;
    return fitted;
}

void ChannelRowPainter::Paint(HDC dc, const ChannelRow& row, const RECT& bounds) {
    const int pad = (bounds.bottom - bounds.top) / 8;
    RECT inner = bounds;
    InflateRect(&inner, -pad, -pad);

    const int innerHeight = inner.bottom - inner.top;
    const int labelHeight =
        FittedHeight(dc, kSample, inner.right - inner.left, innerHeight, innerHeight * 3 / 4, labelHeights_);
    UniqueFont font = rowFont(labelHeight);
    ScopedSelect selectFont(dc, font.get());
    const int labelWidth = textExtent(dc, kSample).cx;
    RECT label{inner.left, inner.top, inner.left + labelWidth, inner.bottom};
    const RECT bar{inner.left + labelWidth + pad / 2, inner.top, inner.right, inner.bottom};

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, row.textColor != 0 ? row.textColor : ColorText);
    const std::wstring labelText = Utf8ToWide(ChannelLabelText(row.channelNumber, row.hpPercent));
    DrawTextW(dc, labelText.c_str(), -1, &label, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    FillSolidRect(dc, bar, ColorBarTrack);
    const int fill = ChannelBarFill(bar.right - bar.left, row.hpPercent);
    if (fill > 0) FillSolidRect(dc, RECT{bar.left, bar.top, bar.left + fill, bar.bottom}, ChannelBarColor(row));
    {
        UniquePen pen(CreatePen(PS_SOLID, 1, ColorBarOutline));
        ScopedSelect selectPen(dc, pen.get());
        ScopedSelect selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
        Rectangle(dc, bar.left, bar.top, bar.right, bar.bottom);
    }

    const std::string overlay = ChannelOverlayText(row.etd, row.dps);
    if (overlay.empty()) return;
    const int overlayHeight = FittedHeight(dc, kOverlaySample, bar.right - bar.left - scale_.px(kOverlayMargin),
                                           bar.bottom - bar.top, labelHeight, overlayHeights_);
    UniqueFont overlayFont = overlayHeight < labelHeight ? rowFont(overlayHeight) : nullptr;
    ScopedSelect selectOverlayFont(dc, overlayFont.get());
    DrawOutlinedText(dc, Utf8ToWide(overlay), bar);
}

// Eight shifted copies, then the text itself. The outline stays one physical pixel at every scale: copies shifted
// further leave gaps between them. The text is measured once and placed as DrawText centres it: measuring each of
// the nine copies again cost a fifth of their drawing.
void DrawOutlinedText(HDC dc, const std::wstring& text, const RECT& bounds) {
    const SIZE size = textExtent(dc, text.c_str());
    const int x = (bounds.left + bounds.right - size.cx) / 2;
    const int y = bounds.top + (bounds.bottom - bounds.top) / 2 - size.cy / 2;
    const auto drawShifted = [&](int dx, int dy) {
        RECT clip = bounds;
        OffsetRect(&clip, dx, dy);
        ExtTextOutW(dc, x + dx, y + dy, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    };
    SetTextColor(dc, ColorOverlayOutline);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) drawShifted(dx, dy);
        }
    }
    SetTextColor(dc, ColorText);
    drawShifted(0, 0);
}
