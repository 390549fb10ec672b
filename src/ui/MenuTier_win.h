#pragma once

#include <vector>

#include "AccessibleControl_win.h"
#include "BufferedWindow_win.h"
#include "MenuItem.h"
#include "MenuLayout.h"

class DarkPopupMenu;

// The items' rows with their labels measured in the menu font, as shown: without their access marks.
std::vector<MenuRow> MeasureMenuRows(const std::vector<MenuItem>& items, HFONT font);

// The work area of the monitor nearest a screen point, or the primary screen when that is unknown.
ScreenRect WorkAreaNear(int x, int y);

// One open level of a dark popup menu (class "OrlixDarkPopupMenuTier"). It draws one selection, which the
// mouse and the menu's keys move alike, and tells screen readers about its entries; the keys themselves go
// to the menu's loop.
class MenuTier : public BufferedWindow, private AccessibleSource {
public:
    static const WindowClass kTierClass;

    MenuTier(DarkPopupMenu& menu, int level);
    // However the tier closes, screen readers hear it end.
    ~MenuTier() override;

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

    int selected() const { return selected_; }
    // Draws the selection on the entry (-1 for none) and tells screen readers it has the focus.
    void Select(int index);
    // The entry the keyboard reaches from `from`, as StepSelection counts.
    int StepFrom(int from, int step) const;
    // The enabled entry whose access key is `key`, or -1.
    int IndexOfAccessKey(wchar_t key) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove(int x, int y);
    void OnLeftButtonUp(int x, int y);

    std::wstring AccessibleName(int child) const override;
    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;
    int AccessibleChildCount() const override { return static_cast<int>(items_.size()); }
    RECT AccessibleChildRect(int child) const override;

    DarkPopupMenu& menu_;
    int level_;
    int selected_ = -1;
    bool opensLeft_ = false;
    std::vector<MenuItem> items_;
    std::vector<MenuRow> rows_;
    std::vector<bool> selectable_;
    TierLayout layout_;
    AccessibleControl accessible_{*this};
};
