#include "MousePress_win.h"

void MousePress::Begin(HWND window) {
    SetCapture(window);
    // Held only from here: a WM_CAPTURECHANGED that SetCapture sent for an earlier capture does not end it.
    window_ = window;
    InvalidateRect(window, nullptr, FALSE);
}

bool MousePress::Release() {
    // Ended before ReleaseCapture, whose WM_CAPTURECHANGED then finds no press to cut short.
    if (!End()) return false;
    ReleaseCapture();
    return true;
}

bool MousePress::Lost() {
    return End();
}

bool MousePress::End() {
    if (!window_) return false;
    InvalidateRect(window_, nullptr, FALSE);
    window_ = nullptr;
    return true;
}
