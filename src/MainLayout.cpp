#include "MainLayout.h"

namespace {

constexpr int kComboHeight = 28;
constexpr int kPanelHeight = 190;  // room below the list for the settings panel and the status line
constexpr int kStatusRoom = 40;
constexpr int kRowHeight = 25;

MainLayout::Slot at(int x, int y, int width, int height, bool shown = true) {
    return {{x, y, x + width, y + height}, shown, true};
}

}  // namespace

MainLayout ComputeMainLayout(int w, int h, bool clickThrough, bool active) {
    MainLayout l;
    if (clickThrough) {
        // The combo box goes where the boss title shows, hidden, so that it opens there from the hotkey.
        l.combo = at(0, 0, w - 100, 30, false);
        l.bossTitle = at(0, 0, w - 100, 30);
        l.cacheAge = at(0, 30, w, 20);
        l.countdown = at(w - 100, 0, 100, 30);
        l.list = at(0, 50, w, h - 50);
        return l;
    }
    l.combo = at(10, 10, w - 120, kComboHeight);
    l.cacheAge = at(10, kComboHeight + 15, w - 20, 20);
    l.countdown = at(w - 110, 10, 100, kComboHeight);
    const int listTop = kComboHeight + 40;
    l.list = at(10, listTop, w - 20, h - (active ? kPanelHeight : kStatusRoom) - listTop);
    l.status = at(10, h - 25, w - 20, 20);
    if (active) {
        l.bossMenuButton = at(10, h - 60, w - 20, kRowHeight);
        l.clickThroughButton = at(10, h - 90, w - 20, kRowHeight);
        l.visibilityButton = at(10, h - 120, w - 20, kRowHeight);
        l.scaleCaption = at(10, h - 150, 140, kRowHeight);
        l.scaleSlider = at(145, h - 150, w - 210, kRowHeight);
        l.scaleValue = at(w - 60, h - 150, 50, kRowHeight);
        l.opacityCaption = at(10, h - 180, 140, kRowHeight);
        l.opacitySlider = at(145, h - 180, w - 210, kRowHeight);
        l.opacityValue = at(w - 60, h - 180, 50, kRowHeight);
    }
    return l;
}
