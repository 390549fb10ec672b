#pragma once

#include <windows.h>

// The base of every window class of the program. The object travels as the creation parameter and is
// bound to window slot 0 on WM_NCCREATE, so it knows its HWND from the first message on; messages
// before the binding go to DefWindowProcW, and nothing reaches the object after WM_NCDESTROY.
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Destroys the window while the object is still whole, so that its WM_DESTROY reaches the derived class.
    // A class whose WM_DESTROY matters calls it from its own destructor: by ~Window the derived part is gone.
    void Destroy();

    struct WindowClass {
        const wchar_t* name = nullptr;
        UINT style = 0;
        const wchar_t* cursor = IDC_ARROW;
        const wchar_t* icon = nullptr;
        // A solid background colour (a brush the class keeps for the process's life), or CLR_INVALID
        // for systemBrush (a COLOR_* + 1 value, or null for none).
        COLORREF solidBackground = CLR_INVALID;
        HBRUSH systemBrush = nullptr;
    };

    // Registers the class on its first use in the process.
    static bool RegisterOnce(const WindowClass& windowClass);

protected:
    Window() = default;
    // Destroys a window that is still alive, after unbinding it so that its last messages find no half-destroyed
    // object.
    virtual ~Window();

    // Registers if needed and creates the window bound to this object; false when either fails.
    bool CreateBound(const WindowClass& windowClass, DWORD exStyle, const wchar_t* text, DWORD style, int x, int y,
                     int width, int height, HWND parent, UINT_PTR childIdOrMenu);

    // Answers WM_DPICHANGED: moves to the rectangle the system suggests (lParam; nothing when null).
    void MoveToSuggestedRect(LPARAM suggested);

    // Every message while the window is bound; the default is DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
