#pragma once

#include <windows.h>

#include "InitialWindowRect.h"
#include "base/DpiScale.h"
#include "ui/ScopedGdi_win.h"

// The overlay's two switches and its look on screen: click-through (no frame; the mouse passes through
// to the windows below and the window is never activated), visibility (hidden and shown again without
// taking the focus), whether it is active, opacity as the layered alpha, its icons, and the clamp that keeps
// the window on its monitor.
class WindowModes {
public:
    void Attach(HWND hwnd) { hwnd_ = hwnd; }

    // Changes the styles and refreshes the frame; the outer rectangle stays, then is clamped. The window is
    // then active only if it was switched off and is in the foreground.
    void SetClickThrough(bool on);
    bool clickThrough() const { return clickThrough_; }
    void ToggleVisibility();
    bool visible() const { return visible_; }
    void SetOpacity(int percent);
    // Draws the window's big and small icons at its display scale.
    void SetIcons(DpiScale scale);

    // Active while the window or one of its children has the focus or is in the foreground: the settings panel
    // shows only then. In click-through mode the window is never activated and activation messages are
    // ignored. Each change below answers whether it was taken, so that the caller lays the window out again.
    bool active() const { return active_; }
    // As the window starts: active if it or one of its children has the focus.
    void FollowFocus();
    // Activation or focus as WM_ACTIVATE, WM_SETFOCUS and WM_KILLFOCUS report it; the focus leaving for a child
    // keeps the window active.
    bool FollowActivation(UINT message, WPARAM wParam);
    // The foreground can change without a message to the window: taken only when it did.
    bool FollowForeground();
    // As the window starts, once its display scale is known: the saved rectangle, or the default one scaled, kept
    // on the monitor (InitialWindowRect.h).
    void PlaceAtStart(const ScreenRect& stored, bool saved, DpiScale scale);
    void ClampToMonitor();
    // The window rectangle as it would be once clamped to its monitor.
    RECT ClampedWindowRect() const;

    // The layered alpha of an opacity percentage: 10 gives 25, 75 gives 191, 100 gives 255.
    static BYTE AlphaForOpacity(int percent) { return static_cast<BYTE>(percent * 255 / 100); }

private:
    bool HoldsWindow(HWND window) const;

    HWND hwnd_ = nullptr;
    bool clickThrough_ = false;
    bool visible_ = true;
    bool active_ = false;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
};
