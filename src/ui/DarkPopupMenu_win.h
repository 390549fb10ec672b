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
//
// The keys work however the menu was opened, on its innermost tier: Up and Down move the selection
// (wrapping, over separators and disabled entries), Home and End go to the first and last entry, Enter,
// Space or Right open a submenu with its first entry selected, Enter or Space choose any other entry, an
// entry's access key (the character after the ampersand in its text) does the same as Enter on it, Left
// and Escape close one tier (Escape on the first tier closes the menu), Alt and F10 close the menu.
class DarkPopupMenu {
public:
    // A menu opened from the keyboard selects its first entry and underlines the access keys at once;
    // otherwise the underlines show from the first key on.
    static void Show(HWND owner, int x, int y, const std::vector<MenuItem>& items, bool fromKeyboard = false);

    DarkPopupMenu(const DarkPopupMenu&) = delete;
    DarkPopupMenu& operator=(const DarkPopupMenu&) = delete;

    // Opens the submenu of the tier's entry, closing every deeper tier first.
    void OpenSubmenu(MenuTier& tier, int index);
    // Destroys the tiers from this level down; 0 closes the menu.
    void CloseTiersFrom(int level);
    // Closes the menu, then tells the owner about the entry (an id of 0 tells nothing).
    void Choose(unsigned id);

    HWND anchor() const { return anchor_.get(); }
    HFONT font() const { return font_.get(); }
    DpiScale scale() const { return scale_; }
    HPEN separatorPen() const { return separatorPen_.get(); }
    int tierCount() const { return static_cast<int>(tiers_.size()); }
    bool showsAccessKeys() const { return showsAccessKeys_; }

private:
    DarkPopupMenu(HWND owner, DpiScale scale);
    ~DarkPopupMenu();
    // Closes every tier of the open menu, if any; its Show then returns.
    static void CloseActive();
    void RunLoop();
    bool IsMenuWindow(HWND hwnd) const;
    bool InAnyTier(POINT screenPoint) const;
    // A key pressed while the menu is open; false for keys the menu leaves to character translation.
    bool OnKey(WPARAM key);
    void OnAccessKey(wchar_t key);
    // Enter on an entry: opens its submenu with the first entry selected, or chooses it.
    void Activate(MenuTier& tier, int index);
    void ShowAccessKeys();

    // The menu whose loop is innermost; a newer Show closes the older one's tiers.
    static DarkPopupMenu* active_;

    HWND owner_;
    // Taken where the menu opens: its tiers all draw at that monitor's scale.
    DpiScale scale_;
    UniqueFont font_;
    UniquePen separatorPen_;
    bool showsAccessKeys_ = false;
    UniqueWindow anchor_;
    std::vector<std::unique_ptr<MenuTier>> tiers_;
};
