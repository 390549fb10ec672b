#include "DiscIcon_win.h"

#include <vector>

#include "DiscIcon.h"
#include "ui/ScopedGdi_win.h"

HICON MakeDiscIcon(COLORREF color) {
    std::vector<DWORD> colorBits(kDiscIconSize * kDiscIconSize);
    // Monochrome rows are padded to 16 bits: 32 pixels are exactly two words.
    std::vector<BYTE> maskBits(kDiscIconSize * kDiscIconSize / 8, 0);
    for (int y = 0; y < kDiscIconSize; ++y) {
        for (int x = 0; x < kDiscIconSize; ++x) {
            const DiscIconPixel p = discIconPixel(x, y, color);
            // A 32-bit DIB stores blue in the low byte.
            colorBits[y * kDiscIconSize + x] = GetRValue(p.color) << 16 | GetGValue(p.color) << 8 | GetBValue(p.color);
            if (!p.opaque) maskBits[(y * kDiscIconSize + x) / 8] |= 0x80 >> (x % 8);
        }
    }

    WindowDc screen(nullptr);
    UniqueBitmap colorBitmap(CreateCompatibleBitmap(screen.get(), kDiscIconSize, kDiscIconSize));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kDiscIconSize;
    info.bmiHeader.biHeight = -kDiscIconSize;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBits(screen.get(), colorBitmap.get(), 0, kDiscIconSize, colorBits.data(), &info, DIB_RGB_COLORS);
    const UniqueBitmap maskBitmap(CreateBitmap(kDiscIconSize, kDiscIconSize, 1, 1, maskBits.data()));

    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = maskBitmap.get();
    iconInfo.hbmColor = colorBitmap.get();
    // The icon keeps copies of both bitmaps.
    return CreateIconIndirect(&iconInfo);
}
