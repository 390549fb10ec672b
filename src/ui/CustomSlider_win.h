#pragma once

#include "BufferedWindow_win.h"
#include "MousePress_win.h"

// A horizontal slider with a rounded track, a blue fill and a capsule thumb (class "OrlixCustomSlider").
// Every change made with the mouse is sent to the parent as WM_HSCROLL (SB_THUMBTRACK, value in the
// high word) while the user clicks or drags; changes made by the program are not. A drag ends with the
// button's release or with the loss of the mouse capture.
class CustomSlider : public BufferedWindow {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    void SetRange(int min, int max);
    void SetValue(int value);
    int GetValue() const { return value_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetValueFromX(int x);
    void Paint(HDC dc, int width, int height) override;

    HWND parent_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    MousePress drag_;
    bool hovered_ = false;
    int width_ = 0;
    int height_ = 0;
};
