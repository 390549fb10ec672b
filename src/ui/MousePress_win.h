#pragma once

#include <windows.h>

// A left-button press that holds the mouse capture: a slider's or a scrollbar thumb's drag, a button's
// press. It ends when the button is released or when the capture goes elsewhere (Alt+Tab, another window
// taking it); either way the window is repainted without its pressed look.
class MousePress {
public:
    // On WM_LBUTTONDOWN: takes the capture.
    void Begin(HWND window);
    // On WM_LBUTTONUP, or to stop a press the window no longer allows: gives the capture back. True when a
    // press was held.
    bool Release();
    // On WM_CAPTURECHANGED: true when that cut a press short; its release will not come here.
    bool Lost();
    bool held() const { return window_ != nullptr; }

private:
    bool End();

    HWND window_ = nullptr;
};
