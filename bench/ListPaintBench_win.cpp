// One full paint of the channel list's 40 visible rows into a memory DC, under Wine: each row searching
// its font size afresh (the plain way), and with the sizes remembered, both against the same rows drawn
// with one font made in advance.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BestSeconds.h"
#include "base/WideText.h"
#include "ui/Painter_win.h"
#include "ui/ScopedGdi_win.h"
#include "views/ChannelRowPainter_win.h"
#include "views/ChannelRowText.h"

namespace {

constexpr int kRows = 40;
constexpr int kWidth = 450;
constexpr int kRowHeight = 40;

std::vector<ChannelRow> makeRows() {
    std::vector<ChannelRow> rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        rows[i].channelNumber = i + 1;
        rows[i].hpPercent = 100 - 2 * i;
        rows[i].etd = 30.0 + 17 * i;
        rows[i].dps = 0.1 * (i % 7) + 0.05;
    }
    return rows;
}

RECT rowRect(int i) {
    return RECT{0, i * kRowHeight, kWidth, (i + 1) * kRowHeight};
}

// The same drawing as a row, with the label font made once for all rows.
void paintWithOneFont(HDC dc, const std::vector<ChannelRow>& rows, HFONT font) {
    ScopedSelect select(dc, font);
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < kRows; ++i) {
        RECT label = rowRect(i);
        InflateRect(&label, -5, -5);
        RECT bar = label;
        bar.left += 150;
        label.right = bar.left;
        const std::wstring text = Utf8ToWide(ChannelLabelText(rows[i].channelNumber, rows[i].hpPercent));
        DrawTextW(dc, text.c_str(), -1, &label, DT_VCENTER | DT_SINGLELINE);
        FillSolidRect(dc, bar, RGB(60, 60, 60));
        FillSolidRect(
            dc, RECT{bar.left, bar.top, bar.left + ChannelBarFill(bar.right - bar.left, rows[i].hpPercent), bar.bottom},
            ChannelBarColor(rows[i]));
        DrawOutlinedText(dc, Utf8ToWide(ChannelOverlayText(rows[i].etd, rows[i].dps)), bar);
    }
}

}  // namespace

int wmain() {
    const std::vector<ChannelRow> rows = makeRows();
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), kWidth, kRows * kRowHeight));
    ScopedSelect selectBitmap(dc.get(), bitmap.get());
    UniqueFont font(CreateFontW(22, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, FIXED_PITCH | FF_MODERN, L"FiraSans"));

    const double baseline = bestSeconds(10, 5, [&] { paintWithOneFont(dc.get(), rows, font.get()); });
    const double searching = bestSeconds(10, 5, [&] {
        for (int i = 0; i < kRows; ++i) ChannelRowPainter().Paint(dc.get(), rows[i], rowRect(i));
    });
    ChannelRowPainter remembering;
    const double remembered = bestSeconds(10, 5, [&] {
        for (int i = 0; i < kRows; ++i) remembering.Paint(dc.get(), rows[i], rowRect(i));
    });
    std::printf("%d rows with one font made in advance: %.2f ms\n", kRows, baseline * 1e3);
    std::printf("searching each row's font size:        %.2f ms (ratio %.2f)\n", searching * 1e3, searching / baseline);
    std::printf("font sizes remembered per row size:    %.2f ms (ratio %.2f)\n", remembered * 1e3,
                remembered / baseline);
    return 0;
}
