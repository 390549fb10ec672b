#include "BufferedWindow_win.h"

#include <shellscalingapi.h>

void BufferedWindow::SetScale(DpiScale scale) {
    if (scale == scale_) return;
    scale_ = scale;
    OnScaleChanged();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT BufferedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            buffer_.PaintWindow(
                hwnd_, [this](HDC dc, int width, int height) { Paint(dc, width, height); }, PaintsInParts());
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_WINDOWPOSCHANGED:
            // The system keeps the old pixels of a resized window and asks only for the uncovered part,
            // but a control's drawing (a chevron at the right edge, a rounded border) moves with its size.
            if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
                InvalidateRect(hwnd_, nullptr, FALSE);
            return Window::HandleMessage(message, wParam, lParam);
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

void BufferedWindow::PaintNow() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    buffer_.PaintWindowNow(hwnd_, [this](HDC dc, int width, int height) { Paint(dc, width, height); });
}

DpiScale ScaleOfWindow(HWND hwnd) {
    return DpiScale(static_cast<int>(GetDpiForWindow(hwnd)));
}

DpiScale ScaleNear(int x, int y) {
    UINT dpiX = 0, dpiY = 0;
    if (GetDpiForMonitor(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), MDT_EFFECTIVE_DPI, &dpiX, &dpiY) !=
        S_OK) {
        return DpiScale(static_cast<int>(GetDpiForSystem()));
    }
    return DpiScale(static_cast<int>(dpiY));
}
