#include "FocusRing_win.h"

#include <algorithm>

#include "Painter_win.h"
#include "Theme.h"

namespace {

constexpr int kRingInset = 3;

}  // namespace

bool FocusRingShown(HWND control) {
    if (GetFocus() != control) return false;
    return !(SendMessageW(GetAncestor(control, GA_ROOT), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void RevealFocusRings(HWND control) {
    if (SendMessageW(GetAncestor(control, GA_ROOT), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)
        SendMessageW(control, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void PaintFocusRing(HDC dc, const RECT& r, int radius, DpiScale scale) {
    const int inset = scale.px(kRingInset);
    RECT ring = r;
    InflateRect(&ring, -inset, -inset);
    StrokeRoundRect(dc, ring, std::max(radius - inset, 1), ColorAccent, scale.px(1.0f));
}

std::optional<LRESULT> AnswerFocusableControl(HWND control, AccessibleControl& accessible, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
            InvalidateRect(control, nullptr, FALSE);
            if (message == WM_SETFOCUS) NotifyWinEvent(EVENT_OBJECT_FOCUS, control, OBJID_CLIENT, CHILDID_SELF);
            return DefWindowProcW(control, message, wParam, lParam);
        case WM_GETOBJECT:
            return accessible.Answer(control, wParam, lParam);
        default:
            return std::nullopt;
    }
}
