#pragma once

#include "BackBuffer_win.h"
#include "Window_win.h"

// A window that draws itself through a back buffer of its own and never erases its background: the way
// every control, view and dialog of the kit paints.
class BufferedWindow : public Window {
protected:
    // Draws the client area, width by height, into dc. The drawing may be clipped to the part that needs
    // it; the buffer keeps the rest from the last paint.
    virtual void Paint(HDC dc, int width, int height) = 0;

    // Answers WM_PAINT and WM_ERASEBKGND; everything else goes to the Window default.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    BackBuffer buffer_;
};
