#pragma once

#include <string>

#include "AccessibleControl_win.h"
#include "BufferedWindow_win.h"
#include "ScopedGdi_win.h"
#include "Theme.h"

// A centred single line of white text on a flat background (class "OrlixCustomLabel"). The text is
// also the window text, so screen readers and tools read what the label shows. Its point size is taken
// at the label's display scale; a text too wide for the box is drawn smaller, never cut at its edges.
class CustomLabel : public BufferedWindow, private AccessibleSource {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    // The new text is painted with the window's other changes, once the messages in hand are handled.
    void SetText(const std::wstring& text);
    void SetFontSize(int points);
    void SetBounds(int x, int y, int width, int height);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc, int width, int height) override;

    // The character height in pixels that fits text_ into the width, from the nominal height down.
    int FittedHeight(HDC dc, int nominal, int width);
    // The label's font at this height, kept from one paint to the next: most paints only change the text.
    HFONT FontOfHeight(int height);

    std::wstring AccessibleName(int) const override { return text_; }
    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;

    std::wstring text_;
    UniqueFont font_;
    int fontHeight_ = 0;
    int fontPointSize_ = 14;
    const Color backgroundColor_ = ColorControlBg;
    AccessibleControl accessible_{*this};
};
