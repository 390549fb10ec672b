#pragma once

#include <windows.h>

// The overlay's two switches and its look on screen: click-through (no frame; the mouse passes through
// to the windows below and the window is never activated), visibility (hidden and shown again without
// taking the focus), opacity as the layered alpha, and the clamp that keeps the window on its monitor.
class WindowModes {
public:
    void Attach(HWND hwnd) { hwnd_ = hwnd; }

    // Changes the styles and refreshes the frame; the outer rectangle stays, then is clamped.
    void SetClickThrough(bool on);
    bool clickThrough() const { return clickThrough_; }
    void ToggleVisibility();
    bool visible() const { return visible_; }
    void SetOpacity(int percent);
    void ClampToMonitor();
    // The window rectangle as it would be once clamped to its monitor.
    RECT ClampedWindowRect() const;

    // The layered alpha of an opacity percentage: 10 gives 25, 75 gives 191, 100 gives 255.
    static BYTE AlphaForOpacity(int percent) { return static_cast<BYTE>(percent * 255 / 100); }

private:
    HWND hwnd_ = nullptr;
    bool clickThrough_ = false;
    bool visible_ = true;
};
