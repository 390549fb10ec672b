#include "views/ComboList.h"

#include <algorithm>
#include <utility>

std::string ComboItemLabel(const ComboItem& item) {
    if (item.totalCount <= 0) return item.text;
    return item.text + " [" + std::to_string(item.freshCount) + "/" + std::to_string(item.totalCount) + "]";
}

ScreenRect PlaceDropDown(const ScreenRect& control, int listHeight, const ScreenRect& workArea) {
    return KeepInside({control.left, control.bottom, control.right, control.bottom + listHeight}, workArea);
}

ScreenRect WatchBellRect(int index, int listWidth, int itemHeight) {
    return {listWidth - itemHeight, index * itemHeight, listWidth, (index + 1) * itemHeight};
}

int ComboList::Add(ComboItem item) {
    items_.push_back(std::move(item));
    if (selected_ == -1) selected_ = 0;
    return count() - 1;
}

void ComboList::Clear() {
    items_.clear();
    selected_ = -1;
    SetHot(-1);
}

bool ComboList::SetCurSel(int index) {
    if (index < -1 || index >= count()) return false;
    selected_ = index;
    return true;
}

bool ComboList::SetItemStatus(int index, uint32_t color, int32_t freshCount, int32_t totalCount) {
    if (!valid(index)) return false;
    ComboItem& item = items_[static_cast<std::size_t>(index)];
    item.color = color;
    item.freshCount = freshCount;
    item.totalCount = totalCount;
    return true;
}

bool ComboList::SetWatched(int index, bool watched) {
    if (!valid(index)) return false;
    items_[static_cast<std::size_t>(index)].watched = watched;
    return true;
}

void* ComboList::ItemData(int index) const {
    return valid(index) ? items_[static_cast<std::size_t>(index)].data : nullptr;
}

bool ComboList::SetHot(int index, bool onBell) {
    if (index == hot_ && onBell == hotOnBell_) return false;
    hot_ = index;
    hotOnBell_ = onBell;
    return true;
}

bool ComboList::MoveHotDown() {
    return SetHot(std::min(hot_ + 1, count() - 1));
}

int ComboList::IndexAt(int x, int y, int listWidth, int itemHeight) const {
    if (x < 0 || x >= listWidth || y < 0 || y >= count() * itemHeight || itemHeight <= 0) return -1;
    return y / itemHeight;
}
