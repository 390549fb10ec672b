#include "WindowModes_win.h"

#include "DiscIcon_win.h"
#include "MonitorClamp_win.h"
#include "ui/Theme.h"

namespace {

constexpr LONG kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr LONG kClickThroughExStyle = WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;

RECT windowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace

void WindowModes::SetClickThrough(bool on) {
    clickThrough_ = on;
    LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    LONG exStyle = GetWindowLongW(hwnd_, GWL_EXSTYLE);
    if (on) {
        style = (style & ~static_cast<LONG>(WS_OVERLAPPEDWINDOW)) | static_cast<LONG>(WS_POPUP);
        exStyle |= kClickThroughExStyle;
    } else {
        style = (style & ~(static_cast<LONG>(WS_POPUP) | kFrameStyle)) | kFrameStyle;
        exStyle &= ~kClickThroughExStyle;
    }
    SetWindowLongW(hwnd_, GWL_STYLE, style);
    SetWindowLongW(hwnd_, GWL_EXSTYLE, exStyle);
    const RECT r = windowRect(hwnd_);
    SetWindowPos(hwnd_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW | (on ? SWP_NOACTIVATE : 0));
    ClampToMonitor();
    active_ = !on && GetForegroundWindow() == hwnd_;
}

void WindowModes::ToggleVisibility() {
    visible_ = !visible_;
    if (!visible_) {
        ShowWindow(hwnd_, SW_HIDE);
    } else {
        ShowWindow(hwnd_, SW_SHOWNA);
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void WindowModes::SetOpacity(int percent) {
    SetLayeredWindowAttributes(hwnd_, 0, AlphaForOpacity(percent), LWA_ALPHA);
}

void WindowModes::SetIcons(DpiScale scale) {
    const auto dpi = static_cast<UINT>(scale.dpi());
    bigIcon_.reset(MakeDiscIcon(ColorAppIcon, GetSystemMetricsForDpi(SM_CXICON, dpi)));
    smallIcon_.reset(MakeDiscIcon(ColorAppIcon, GetSystemMetricsForDpi(SM_CXSMICON, dpi)));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void WindowModes::FollowFocus() {
    active_ = HoldsWindow(GetFocus());
}

bool WindowModes::FollowActivation(UINT message, WPARAM wParam) {
    bool active = true;
    if (message == WM_ACTIVATE) {
        active = LOWORD(wParam) != WA_INACTIVE;
    } else if (message == WM_KILLFOCUS) {
        // The focus moving to a child stays within the window.
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) return false;
        active = false;
    }
    if (clickThrough_) return false;
    active_ = active;
    return true;
}

bool WindowModes::FollowForeground() {
    const bool active = HoldsWindow(GetForegroundWindow());
    if (clickThrough_ || active == active_) return false;
    active_ = active;
    return true;
}

bool WindowModes::HoldsWindow(HWND window) const {
    return window && (window == hwnd_ || IsChild(hwnd_, window));
}

RECT WindowModes::ClampedWindowRect() const {
    return ClampRectToMonitor(windowRect(hwnd_));
}

void WindowModes::PlaceAtStart(const ScreenRect& stored, bool saved, DpiScale scale) {
    const RECT r = windowRect(hwnd_);
    const std::optional<ScreenRect> monitor = MonitorRectNear(r);
    if (!monitor) return;
    const ScreenRect initial = InitialWindowRect(stored, saved, scale, *monitor);
    if (initial != ScreenRect{r.left, r.top, r.right, r.bottom})
        SetWindowPos(hwnd_, nullptr, initial.left, initial.top, initial.width(), initial.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowModes::ClampToMonitor() {
    const RECT current = windowRect(hwnd_);
    const RECT clamped = ClampedWindowRect();
    if (EqualRect(&current, &clamped)) return;
    SetWindowPos(hwnd_, nullptr, clamped.left, clamped.top, clamped.right - clamped.left, clamped.bottom - clamped.top,
                 SWP_NOZORDER | (clickThrough_ ? SWP_NOACTIVATE : 0));
}
