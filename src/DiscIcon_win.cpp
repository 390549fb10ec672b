#include "DiscIcon_win.h"

#include <vector>

#include "DiscIcon.h"
#include "ui/ScopedGdi_win.h"

HICON MakeDiscIcon(COLORREF color, int size) {
    if (size <= 0) return nullptr;
    std::vector<DWORD> colorBits(static_cast<size_t>(size) * size);
    // Monochrome rows are padded to 16 bits.
    const int maskStride = (size + 15) / 16 * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(maskStride) * size, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const DiscIconPixel p = discIconPixel(x, y, size, color);
            // A 32-bit DIB stores blue in the low byte.
            colorBits[static_cast<size_t>(y) * size + x] =
                GetRValue(p.color) << 16 | GetGValue(p.color) << 8 | GetBValue(p.color);
            if (!p.opaque) maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= 0x80 >> (x % 8);
        }
    }

    WindowDc screen(nullptr);
    UniqueBitmap colorBitmap(CreateCompatibleBitmap(screen.get(), size, size));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBits(screen.get(), colorBitmap.get(), 0, size, colorBits.data(), &info, DIB_RGB_COLORS);
    const UniqueBitmap maskBitmap(CreateBitmap(size, size, 1, 1, maskBits.data()));

    ICONINFO iconInfo{};
    iconInfo.fIcon = TRUE;
    iconInfo.hbmMask = maskBitmap.get();
    iconInfo.hbmColor = colorBitmap.get();
    // The icon keeps copies of both bitmaps.
    return CreateIconIndirect(&iconInfo);
}
