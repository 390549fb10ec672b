#pragma once

#include <string>

#include "ui/AccessibleControl_win.h"
#include "ui/BufferedWindow_win.h"
#include "ui/ColorMath.h"
#include "views/ComboBoxPopup_win.h"
#include "views/ComboList.h"

// The boss selector (class "OrlixComboBox"): a rounded field with the selected item in its colour and a
// chevron; a click (or OpenPopup) opens the list below it. Tells its parent through WM_COMMAND with
// CBN_SELCHANGE (an item chosen, also the selected one), CBN_DROPDOWN (opened), CBN_CLOSEUP (closed, for
// whatever reason) and kNotifyWatchToggle (the bell of the item HotIndex names pressed: the owner decides
// and answers through SetItemWatched). Nothing set through the methods below notifies.
//
// With the focus, F4 or Alt+Down open the list (it then has the keys: arrows, Enter, Escape, and Space for the
// highlighted item's bell), Up and Down choose the previous or next item as a click in the list would, and other
// keys go on to the parent. A focus ring shows while it has the focus, once the keyboard is in use (see
// ui/FocusRing_win.h). Screen readers read it as a combo box with the name the owner gives and the selected item as
// its value; its items are its children, checked while watched.
class ComboBox : public BufferedWindow, private AccessibleSource {
public:
    // Past the system's CBN_ codes.
    static constexpr WORD kNotifyWatchToggle = 0x100;

    // Rows of the open list, at the control's display scale.
    int ItemHeight() const { return scale_.px(kItemHeight); }

    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    int AddItem(const std::string& text, Color color, void* data, int32_t freshCount, int32_t totalCount, bool watched);
    void Clear();
    void SetCurSel(int index);
    void* GetItemData(int index) const { return list_.ItemData(index); }
    void* GetSelectedData() const { return list_.SelectedData(); }
    void SetItemStatus(int index, Color color, int32_t freshCount, int32_t totalCount);
    // Fills or empties the item's bell in the open list.
    void SetItemWatched(int index, bool watched);
    int HotIndex() const { return list_.hot(); }
    void OpenPopup();
    void ClosePopup();
    bool IsPopupOpen() const { return popupOpen_; }
    void Invalidate();
    void SetBounds(int x, int y, int width, int height);
    // What screen readers call the box, e.g. "Boss".
    void SetAccessibleName(const std::wstring& name) { accessibleName_ = name; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class ComboBoxPopup;

    void Paint(HDC dc, int width, int height) override;
    void Notify(WORD code);
    // Selects the item, tells the parent, then closes the list.
    void Choose(int index);
    // Asks the parent to watch or unwatch the highlighted item; the list stays open.
    void ToggleHotWatch();
    bool OpenList();
    bool OnKey(UINT message, WPARAM key);
    void PaintList(HDC dc, int width, int height) const;

    std::wstring AccessibleName(int child) const override;
    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;
    std::wstring AccessibleValue(int child) const override;
    int AccessibleChildCount() const override { return list_.count(); }
    RECT AccessibleChildRect(int child) const override;

    static constexpr int kItemHeight = 28;

    HWND parent_ = nullptr;
    unsigned id_ = 0;
    ComboList list_;
    bool hover_ = false;
    bool trackingLeave_ = false;
    bool popupOpen_ = false;
    HWND focusBeforeList_ = nullptr;
    std::wstring accessibleName_;
    AccessibleControl accessible_{*this};
    // Destroyed before the control's own window, so the list never outlives the field it belongs to.
    ComboBoxPopup popup_{*this};
};
