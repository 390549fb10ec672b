#pragma once

#include <memory>
#include <vector>

#include "MenuItem.h"
#include "MenuTier_win.h"
#include "ScopedGdi_win.h"
#include "base/DpiScale.h"
#include "base/ScopedHandles_win.h"

// A dark, cascading popup menu that replaces the system's: one blocking Show opens it at a screen
// point and runs its own loop until the user chooses an entry, clicks outside every tier or switches
// to another application. The choice posts WM_COMMAND (id, 0) to the owner.
class DarkPopupMenu {
public:
    static void Show(HWND owner, int x, int y, const std::vector<MenuItem>& items);

    DarkPopupMenu(const DarkPopupMenu&) = delete;
    DarkPopupMenu& operator=(const DarkPopupMenu&) = delete;

    // Opens the submenu of the tier's entry, closing every deeper tier first.
    void OpenSubmenu(MenuTier& tier, int index);
    // Destroys the tiers from this level down; 0 closes the menu.
    void CloseTiersFrom(int level);

    HWND owner() const { return owner_; }
    HWND anchor() const { return anchor_.get(); }
    HFONT font() const { return font_.get(); }
    DpiScale scale() const { return scale_; }
    HPEN separatorPen() const { return separatorPen_.get(); }
    int tierCount() const { return static_cast<int>(tiers_.size()); }

private:
    DarkPopupMenu(HWND owner, DpiScale scale);
    ~DarkPopupMenu();
    // Closes every tier of the open menu, if any; its Show then returns.
    static void CloseActive();
    void RunLoop();
    bool IsMenuWindow(HWND hwnd) const;
    bool InAnyTier(POINT screenPoint) const;

    // The menu whose loop is innermost; a newer Show closes the older one's tiers.
    static DarkPopupMenu* active_;

    HWND owner_;
    // Taken where the menu opens: its tiers all draw at that monitor's scale.
    DpiScale scale_;
    UniqueFont font_;
    UniquePen separatorPen_;
    UniqueWindow anchor_;
    std::vector<std::unique_ptr<MenuTier>> tiers_;
};
