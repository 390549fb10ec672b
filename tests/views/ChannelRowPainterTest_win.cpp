#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "ui/ScopedGdi_win.h"
#include "views/ChannelRowPainter_win.h"

constexpr int kWidth = 420;
constexpr int kHeight = 480;

// Rows of several sizes, with and without the text over the bar, painted into a fresh 32-bit bitmap.
static std::vector<uint32_t> paintRows(bool onePainter) {
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelect select(dc.get(), bitmap.get());
    ChannelRowPainter shared;
    int top = 0, channel = 0;
    for (const int height : {40, 40, 60, 80, 30, 30, 60, 80, 60}) {
        ++channel;
        const ChannelRow row{channel, 100 - 9 * channel, 0.42, channel % 2 ? 95.7 : 0, 0, 0};
        const RECT bounds{0, top, kWidth - 20 * (channel % 3), top + height};
        if (onePainter) {
            shared.Paint(dc.get(), row, bounds);
        } else {
            ChannelRowPainter fresh;
            fresh.Paint(dc.get(), row, bounds);
        }
        top += height;
    }
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(pixels, pixels + kWidth * kHeight);
}

// Remembering the fitted font sizes must not move a single pixel.
TEST(ChannelRowPainter, RememberedFontSizesPaintTheSamePixels) {
    const std::vector<uint32_t> searched = paintRows(false);
    const std::vector<uint32_t> remembered = paintRows(true);
    ASSERT_EQ(searched.size(), remembered.size());
    EXPECT_TRUE(searched == remembered);
    EXPECT_NE(std::count(searched.begin(), searched.end(), 0u), static_cast<long>(searched.size()));
}
