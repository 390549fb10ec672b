#pragma once

#include <string>

#include "BufferedWindow_win.h"
#include "MousePress_win.h"

// A rounded push button with a gradient face and an optional leading icon (class "OrlixButton").
// A press and release inside sends WM_COMMAND (BN_CLICKED) to the parent; a press cut short by the loss
// of the mouse capture sends nothing. The caption is also the window text.
class CustomButton : public BufferedWindow {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id, const std::wstring& text);
    void SetText(const std::wstring& text);
    // A VectorIcon value drawn before the caption; 0 for none.
    void SetIcon(unsigned icon);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool ContainsPoint(LPARAM lParam) const;
    void SetHovered(bool hovered);
    void Paint(HDC dc, int width, int height) override;
    void OnScaleChanged() override;

    HWND parent_ = nullptr;
    unsigned id_ = 0;
    std::wstring text_;
    unsigned icon_ = 0;
    bool hovered_ = false;
    MousePress press_;
    UniqueFont font_;
};
