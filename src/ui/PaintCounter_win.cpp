#include "PaintCounter_win.h"

#include "ExternalNames.h"
#include "TestHooks_win.h"

void CountPaint(HWND hwnd) {
    static const bool counting = ReadTestHookValue(ExternalNames::HOOK_COUNT_PAINTS) != 0;
    if (!counting) return;
    const auto count = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, ExternalNames::PROP_PAINTS));
    SetPropW(hwnd, ExternalNames::PROP_PAINTS, reinterpret_cast<HANDLE>(count + 1));
}
