#include "PaintCounter_win.h"

namespace {

bool paintCountingRequested() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Brisquel", L"CountPaints", RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
           value != 0;
}

}  // namespace

void CountPaint(HWND hwnd) {
    static const bool counting = paintCountingRequested();
    if (!counting) return;
    const auto count = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, kPaintCountProperty));
    SetPropW(hwnd, kPaintCountProperty, reinterpret_cast<HANDLE>(count + 1));
}
