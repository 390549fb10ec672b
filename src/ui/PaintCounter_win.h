#pragma once

#include <windows.h>

// A test hook that shows which controls repaint: when the DWORD value CountPaints under
// HKEY_CURRENT_USER\Software\Brisquel is non-zero as the process starts painting, every window painted
// through a BackBuffer counts its paints in its window property "BrisquelPaints", where a test in another process
// reads them. Otherwise it costs one registry read per process.
void CountPaint(HWND hwnd);
