#include "PaintCounter_win.h"

#include "TestHooks_win.h"

void CountPaint(HWND hwnd) {
    static const bool counting = ReadTestHookValue(L"CountPaints") != 0;
    if (!counting) return;
    const auto count = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, kPaintCountProperty));
    SetPropW(hwnd, kPaintCountProperty, reinterpret_cast<HANDLE>(count + 1));
}
