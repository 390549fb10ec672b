#pragma once

#include <windows.h>

#include "base/DpiScale.h"

// The rounded gradient face shared by the kit's push buttons and the dialogs' buttons.
struct ButtonFaceState {
    bool pressed = false;
    bool hovered = false;
    bool brightTop = false;     // the gradient starts lighter
    bool accentBorder = false;  // the border takes the accent colour
    bool focusRing = false;     // the keyboard's focus ring inside the border
};

// The window background in the corners, then the gradient face, border, inner highlight and focus ring
// within r.
void PaintButtonFace(HDC dc, const RECT& r, const ButtonFaceState& state, DpiScale scale);
