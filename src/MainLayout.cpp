#include "MainLayout.h"

namespace {

constexpr int kComboHeight = 28;
constexpr int kPanelHeight = 190;  // room below the list for the settings panel and the status line
constexpr int kStatusRoom = 40;
constexpr int kRowHeight = 25;

}  // namespace

MainLayout ComputeMainLayout(int w, int h, bool clickThrough, bool active, DpiScale scale) {
    // Every length below is a 96 dpi value.
    const auto px = [scale](int length) { return scale.px(length); };
    const auto at = [](int x, int y, int width, int height, bool shown = true) {
        return MainLayout::Slot{{x, y, x + width, y + height}, shown, true};
    };
    MainLayout l;
    if (clickThrough) {
        // The combo box goes where the boss title shows, hidden, so that it opens there from the hotkey.
        l.combo = at(0, 0, w - px(100), px(30), false);
        l.bossTitle = at(0, 0, w - px(100), px(30));
        l.cacheAge = at(0, px(30), w, px(20));
        l.countdown = at(w - px(100), 0, px(100), px(30));
        l.list = at(0, px(50), w, h - px(50));
        return l;
    }
    const int combo = px(kComboHeight);
    const int row = px(kRowHeight);
    l.combo = at(px(10), px(10), w - px(120), combo);
    l.cacheAge = at(px(10), combo + px(15), w - px(20), px(20));
    l.countdown = at(w - px(110), px(10), px(100), combo);
    const int listTop = combo + px(40);
    l.list = at(px(10), listTop, w - px(20), h - px(active ? kPanelHeight : kStatusRoom) - listTop);
    l.status = at(px(10), h - px(25), w - px(20), px(20));
    if (active) {
        l.bossMenuButton = at(px(10), h - px(60), w - px(20), row);
        l.clickThroughButton = at(px(10), h - px(90), w - px(20), row);
        l.visibilityButton = at(px(10), h - px(120), w - px(20), row);
        l.scaleCaption = at(px(10), h - px(150), px(140), row);
        l.scaleSlider = at(px(145), h - px(150), w - px(210), row);
        l.scaleValue = at(w - px(60), h - px(150), px(50), row);
        l.opacityCaption = at(px(10), h - px(180), px(140), row);
        l.opacitySlider = at(px(145), h - px(180), w - px(210), row);
        l.opacityValue = at(w - px(60), h - px(180), px(50), row);
    }
    return l;
}
