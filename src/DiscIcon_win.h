#pragma once

#include <windows.h>

// A new icon of the disc in the given colour; the caller destroys it with DestroyIcon.
HICON MakeDiscIcon(COLORREF color);
