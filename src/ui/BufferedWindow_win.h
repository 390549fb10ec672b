#pragma once

#include "BackBuffer_win.h"
#include "Window_win.h"
#include "base/DpiScale.h"

// A window that draws itself through a back buffer of its own and never erases its background: the way
// every control, view and dialog of the kit paints. It draws at a display scale that its top-level
// window gives it, and a change of size or scale repaints it whole.
class BufferedWindow : public Window {
public:
    void SetScale(DpiScale scale);
    DpiScale scale() const { return scale_; }

protected:
    // Draws the client area, width by height, into dc. For a window that paints in parts the drawing is
    // clipped to the part that needs it; the buffer keeps the rest from the last paint.
    virtual void Paint(HDC dc, int width, int height) = 0;
    // Whether Paint skips what lies outside the clip (RectVisible): only then is the clip worth making.
    virtual bool PaintsInParts() const { return false; }
    // The scale has changed: remake what depends on it (fonts, sizes). The whole window is repainted after.
    virtual void OnScaleChanged() {}

    // Answers WM_PAINT and WM_ERASEBKGND, and invalidates the whole window when its size changes;
    // everything else goes to the Window default.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Paints the whole window now rather than at the next WM_PAINT (see BackBuffer::PaintWindowNow); a
    // hidden window waits for the paint that showing it brings.
    void PaintNow();

    BackBuffer buffer_;
    DpiScale scale_;
};

// The display scale of a window (its monitor's, for a top-level window) or of the monitor nearest a point.
DpiScale ScaleOfWindow(HWND hwnd);
DpiScale ScaleNear(int x, int y);
