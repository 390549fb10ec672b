#pragma once

#include <string>

#include "BufferedWindow_win.h"
#include "Theme.h"

// A centred single line of white text on a flat background (class "OrlixCustomLabel"). The text is
// also the window text, so screen readers and tools read what the label shows.
class CustomLabel : public BufferedWindow {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    // The new text is on screen when the call returns.
    void SetText(const std::wstring& text);
    void SetFontSize(int points);
    void SetBounds(int x, int y, int width, int height);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, int width, int height) override;

    std::wstring text_;
    int fontPointSize_ = 14;
    const Color backgroundColor_ = ColorControlBg;
};
