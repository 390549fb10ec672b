#pragma once

#include <windows.h>

#include "MainControls_win.h"
#include "SettingsKeeper_win.h"
#include "WindowModes_win.h"

// What the settings panel's two sliders change as they move: the window's opacity or the rows' text scale, the
// value shown beside the slider, and the setting.
class PanelSliders {
public:
    PanelSliders(MainControls& controls, WindowModes& modes, SettingsKeeper& settings)
        : controls_(controls), modes_(modes), settings_(settings) {}

    // A slider reported a move (WM_HSCROLL, or its own command).
    void OnSlider(HWND slider);

private:
    MainControls& controls_;
    WindowModes& modes_;
    SettingsKeeper& settings_;
};
