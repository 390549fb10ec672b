#pragma once

#include <windows.h>

// A new size x size icon of the disc in the given colour; the caller destroys it with DestroyIcon.
HICON MakeDiscIcon(COLORREF color, int size);
