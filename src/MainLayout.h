#pragma once

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// Where the overlay's controls go for a client size and mode. Normal mode: the boss combo box with the
// countdown at its right, the cache-age line, the channel list, the settings panel while the window is
// active, the status line. Click-through mode: the boss name with the countdown, the cache-age line and
// the channel list down to the bottom edge.
struct MainLayout {
    // A control's place and whether it shows; hidden controls keep their last place unless given one.
    struct Slot {
        ScreenRect bounds;
        bool shown = false;
        bool placed = false;
    };

    Slot combo, list, status, bossTitle, cacheAge, countdown;
    Slot opacityCaption, opacitySlider, opacityValue;
    Slot scaleCaption, scaleSlider, scaleValue;
    Slot clickThroughButton, visibilityButton, bossMenuButton;
};

// Client pixels at the window's display scale.
MainLayout ComputeMainLayout(int width, int height, bool clickThrough, bool active, DpiScale scale);
