#pragma once

#include <vector>

#include "BufferedWindow_win.h"
#include "MenuItem.h"
#include "MenuLayout.h"

class DarkPopupMenu;

// The items' rows with their labels measured in the menu font.
std::vector<MenuRow> MeasureMenuRows(const std::vector<MenuItem>& items, HFONT font);

// The work area of the monitor nearest a screen point, or the primary screen when that is unknown.
ScreenRect WorkAreaNear(int x, int y);

// One open level of a dark popup menu (class "OrlixDarkPopupMenuTier"). Mouse only: keys reaching a
// tier do nothing.
class MenuTier : public BufferedWindow {
public:
    static const WindowClass kTierClass;

    MenuTier(DarkPopupMenu& menu, int level);

    // Lays out the items and creates the (hidden) window anchored at the screen point (x, y).
    bool Open(int x, int y, const std::vector<MenuItem>& items, bool opensLeft);
    int HitTest(int x, int y) const;
    void Paint(HDC dc, int width, int height) override;
    // Makes the window visible above everything.
    void ShowOnTop();

    int level() const { return level_; }
    bool opensLeft() const { return opensLeft_; }
    const MenuItem& item(int index) const { return items_[index]; }
    const ScreenRect& rowRect(int index) const { return layout_.rows[index].item; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove(int x, int y);
    void OnLeftButtonUp(int x, int y);

    DarkPopupMenu& menu_;
    int level_;
    int hoveredIndex_ = -1;
    bool opensLeft_ = false;
    std::vector<MenuItem> items_;
    std::vector<MenuRow> rows_;
    TierLayout layout_;
};
