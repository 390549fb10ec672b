#pragma once

#include <windows.h>

#include <functional>

#include "ScopedGdi_win.h"

// The off-screen surface a control paints into before one BitBlt to the screen. Keeps its memory DC
// and bitmap between paints and re-creates the bitmap only when the size changes.
class BackBuffer {
public:
    BackBuffer() = default;
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // The DC to paint into: the memory DC, or targetDc itself (paint directly) for an empty size or
    // when the memory DC or bitmap cannot be made; null for a null target.
    HDC Begin(HDC targetDc, int width, int height);
    // Copies the buffer to targetDc's origin when the last Begin returned the memory DC. A negative
    // width or height means the buffer's own.
    void Present(HDC targetDc, int width, int height) const;
    void Release();

    // Answers WM_PAINT: paints the window's whole client area through this buffer. paint receives the DC
    // to draw into and the client size; with clipToUpdate the DC is clipped to the part that needs painting.
    void PaintWindow(HWND hwnd, const std::function<void(HDC dc, int width, int height)>& paint, bool clipToUpdate);
    // Paints the whole client area at once through the window's DC, without waiting for WM_PAINT: for a
    // small window whose content alone changed, a paint cycle costs several round trips to the window manager
    // (the update region, the caret, validation) that this one does not.
    void PaintWindowNow(HWND hwnd, const std::function<void(HDC dc, int width, int height)>& paint);
    // Makes the bitmap this size now, through the window's DC, so that the next paint finds it ready.
    void Resize(HWND hwnd, int width, int height);

private:
    void PaintAndPresent(HWND hwnd, HDC target, HRGN clip,
                         const std::function<void(HDC dc, int width, int height)>& paint);

    MemoryBitmapDc memory_;
    int width_ = 0;
    int height_ = 0;
    bool valid_ = false;
};
