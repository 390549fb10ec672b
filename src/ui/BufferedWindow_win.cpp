#include "BufferedWindow_win.h"

LRESULT BufferedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            buffer_.PaintWindow(hwnd_, [this](HDC dc, int width, int height) { Paint(dc, width, height); });
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}
