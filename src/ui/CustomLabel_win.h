#pragma once

#include <string>

#include "BufferedWindow_win.h"
#include "Theme.h"

// A centred single line of white text on a flat background (class "OrlixCustomLabel"). The text is
// also the window text, so screen readers and tools read what the label shows. Its point size is taken
// at the label's display scale; a text too wide for the box is drawn smaller, never cut at its edges.
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

    // The character height in pixels that fits text_ into the width, from the nominal height down.
    int FittedHeight(HDC dc, int nominal, int width) const;

    std::wstring text_;
    int fontPointSize_ = 14;
    const Color backgroundColor_ = ColorControlBg;
};
