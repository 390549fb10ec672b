#pragma once

#include <string>

#include "ui/BufferedWindow_win.h"
#include "ui/ColorMath.h"
#include "views/ComboBoxPopup_win.h"
#include "views/ComboList.h"

// The boss selector (class "OrlixComboBox"): a rounded field with the selected item in its colour and a
// chevron; a click (or OpenPopup) opens the list below it. Tells its parent through WM_COMMAND with
// CBN_SELCHANGE (an item chosen, also the selected one), CBN_DROPDOWN (opened) and CBN_CLOSEUP (closed, for
// whatever reason). Nothing set through the methods below notifies.
class ComboBox : public BufferedWindow {
public:
    // Rows of the open list, at the control's display scale.
    int ItemHeight() const { return scale_.px(kItemHeight); }

    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    int AddItem(const std::string& text, Color color, void* data, int32_t freshCount, int32_t totalCount);
    void Clear();
    void SetCurSel(int index);
    void* GetItemData(int index) const { return list_.ItemData(index); }
    void* GetSelectedData() const { return list_.SelectedData(); }
    void SetItemStatus(int index, Color color, int32_t freshCount, int32_t totalCount);
    void OpenPopup();
    void ClosePopup();
    bool IsPopupOpen() const { return popupOpen_; }
    void Invalidate();
    void SetBounds(int x, int y, int width, int height);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class ComboBoxPopup;

    void Paint(HDC dc, int width, int height) override;
    void Notify(WORD code);
    // Selects the item, tells the parent, then closes the list.
    void Choose(int index);
    bool OpenList();
    void PaintList(HDC dc, int width, int height) const;

    static constexpr int kItemHeight = 28;

    HWND parent_ = nullptr;
    unsigned id_ = 0;
    ComboList list_;
    bool hover_ = false;
    bool trackingLeave_ = false;
    bool popupOpen_ = false;
    // Destroyed before the control's own window, so the list never outlives the field it belongs to.
    ComboBoxPopup popup_{*this};
};
