#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "base/DpiScale.h"
#include "model/BossEntry.h"

// Draws one row of the channel list: "Ch. %3d | %3d%%", the HP bar and the outlined time-to-death and
// rate text over it. The label's font is the largest that fits the row, and the text over the bar is
// made smaller where the bar is too narrow for it at that size. Each search creates and measures up
// to six fonts, so its result is kept per size and every later row of that size costs one font.
class ChannelRowPainter {
public:
    void Paint(HDC dc, const ChannelRow& row, const RECT& bounds);
    // The row's margins and smallest font follow the display scale; the text itself follows the row.
    void SetScale(DpiScale scale);

private:
    // The largest height up to `highest` at which `sample` fits width x height, remembered in `known`.
    int FittedHeight(HDC dc, const wchar_t* sample, int width, int height, int highest,
                     std::map<std::pair<int, int>, int>& known) const;

    DpiScale scale_;
    std::map<std::pair<int, int>, int> labelHeights_;
    std::map<std::pair<int, int>, int> overlayHeights_;
};

// White text with a one-pixel amber outline, centred in `bounds` and clipped to it, in the DC's current font.
void DrawOutlinedText(HDC dc, const std::wstring& text, const RECT& bounds);
