#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/ScreenRect.h"

// One entry of the boss combo box. `data` belongs to the caller and is never freed here.
struct ComboItem {
    std::string text;  // UTF-8
    uint32_t color = 0;
    void* data = nullptr;
    int32_t freshCount = 0;
    int32_t totalCount = 0;
    bool watched = false;
};

// The text of an item in the open list: with " [fresh/total]" when it has channels.
std::string ComboItemLabel(const ComboItem& item);

// Where the open list goes: below the control, kept inside the work area (a list taller than the work area
// starts at its top and runs off its bottom).
ScreenRect PlaceDropDown(const ScreenRect& control, int listHeight, const ScreenRect& workArea);

// The square at the right end of an item's row in the open list that holds its watch bell.
ScreenRect WatchBellRect(int index, int listWidth, int itemHeight);

// The combo box's items, selection and the highlighted ("hot") entry of its open list, without a window.
// Out-of-range indexes are ignored.
class ComboList {
public:
    // The index of the new item; the first item added to a list without a selection becomes selected.
    int Add(ComboItem item);
    void Clear();
    // Accepts -1 (nothing) up to the last index.
    bool SetCurSel(int index);
    bool SetItemStatus(int index, uint32_t color, int32_t freshCount, int32_t totalCount);
    bool SetWatched(int index, bool watched);
    void* ItemData(int index) const;
    void* SelectedData() const { return ItemData(selected_); }

    // Opening the list highlights the selected entry; the keys move the highlight within the list.
    void ResetHot() { SetHot(selected_); }
    // True when the highlight changed; `onBell` says whether the pointer is over the entry's watch bell.
    bool SetHot(int index, bool onBell = false);
    bool MoveHotUp() { return SetHot(hot_ - 1 < 0 ? 0 : hot_ - 1); }
    bool MoveHotDown();

    // The entry under a point of the open list, or -1 outside it.
    int IndexAt(int x, int y, int listWidth, int itemHeight) const;

    const std::vector<ComboItem>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    int selected() const { return selected_; }
    int hot() const { return hot_; }
    bool hotOnBell() const { return hotOnBell_; }
    bool valid(int index) const { return index >= 0 && index < count(); }

private:
    std::vector<ComboItem> items_;
    int selected_ = -1;
    int hot_ = -1;
    bool hotOnBell_ = false;
};
