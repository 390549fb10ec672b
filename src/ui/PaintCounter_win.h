#pragma once

#include <windows.h>

// Name of the window property in which a kit window counts its paints when counting is on.
constexpr wchar_t kPaintCountProperty[] = L"BrisquelPaints";

// A test hook that shows which controls repaint: when the DWORD value CountPaints under
// HKEY_CURRENT_USER\Software\Brisquel is non-zero as the process starts painting, every window painted
// through a BackBuffer counts its paints in the property above, where a test in another process reads
// them. Otherwise it costs one registry read per process.
void CountPaint(HWND hwnd);
