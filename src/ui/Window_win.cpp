#include "Window_win.h"

Window::~Window() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrW(hwnd_, 0, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::RegisterOnce(const WindowClass& c) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, c.name, &wc)) return true;
    wc.style = c.style;
    wc.lpfnWndProc = Procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hIcon = c.icon ? LoadIconW(nullptr, c.icon) : nullptr;
    wc.hCursor = LoadCursorW(nullptr, c.cursor);
    wc.hbrBackground = c.solidBackground != CLR_INVALID ? CreateSolidBrush(c.solidBackground) : c.systemBrush;
    wc.lpszClassName = c.name;
    if (RegisterClassExW(&wc)) return true;
    if (c.solidBackground != CLR_INVALID) DeleteObject(wc.hbrBackground);
    return false;
}

bool Window::CreateBound(const WindowClass& windowClass, DWORD exStyle, const wchar_t* text, DWORD style, int x, int y,
                         int width, int height, HWND parent, UINT_PTR childIdOrMenu) {
    if (!RegisterOnce(windowClass)) return false;
    CreateWindowExW(exStyle, windowClass.name, text, style, x, y, width, height, parent,
                    reinterpret_cast<HMENU>(childIdOrMenu), GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

void Window::MoveToSuggestedRect(LPARAM suggested) {
    if (!suggested) return;
    const RECT* r = reinterpret_cast<const RECT*>(suggested);
    SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, 0));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, 0, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}
