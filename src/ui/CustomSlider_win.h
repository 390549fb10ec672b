#pragma once

#include <string>

#include "AccessibleControl_win.h"
#include "BufferedWindow_win.h"
#include "MousePress_win.h"

// A horizontal slider with a rounded track, a blue fill and a capsule thumb (class "OrlixCustomSlider").
// Every change made with the mouse is sent to the parent as WM_HSCROLL (SB_THUMBTRACK, value in the
// high word) while the user clicks or drags; changes made by the program are not. A drag ends with the
// button's release or with the loss of the mouse capture.
//
// It takes the focus when clicked (or given it); then Left or Down and Right or Up move it by one, Page
// Down and Page Up by ten, Home and End to the ends, each change sent to the parent as a drag's is; other
// keys go on to the parent. A focus ring shows while it has the focus, once the keyboard is in use (see
// FocusRing_win.h). Screen readers read it as a slider with the name the owner gives and its value as a
// percentage.
class CustomSlider : public BufferedWindow, private AccessibleSource {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    void SetRange(int min, int max);
    void SetValue(int value);
    int GetValue() const { return value_; }
    // What screen readers call the slider, e.g. "Transparency".
    void SetAccessibleName(const std::wstring& name) { accessibleName_ = name; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetValueFromX(int x);
    // Shows and sends a value the user chose.
    void ChangeValue(int value);
    bool OnKey(WPARAM key);
    void Paint(HDC dc, int width, int height) override;

    std::wstring AccessibleName(int) const override { return accessibleName_; }
    long AccessibleRole(int child) const override;
    long AccessibleState(int) const override { return FocusableState(hwnd_); }
    std::wstring AccessibleValue(int) const override;

    HWND parent_ = nullptr;
    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    MousePress drag_;
    bool hovered_ = false;
    int width_ = 0;
    int height_ = 0;
    std::wstring accessibleName_;
    AccessibleControl accessible_{*this};
};
