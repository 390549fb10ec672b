#include "CustomSlider_win.h"

#include <oleacc.h>

#include <algorithm>

#include "ExternalNames.h"
#include "FocusRing_win.h"
#include "Painter_win.h"
#include "SliderGeometry.h"
#include "Theme.h"

namespace {

const Window::WindowClass kSliderClass{ExternalNames::CLASS_SLIDER, CS_OWNDC, IDC_HAND};
constexpr int kTrackRadius = 3;
constexpr int kThumbRadius = 7;

RECT toRect(const ScreenRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

bool CustomSlider::Create(HWND parent, int x, int y, int width, int height, unsigned id) {
    parent_ = parent;
    return CreateBound(kSliderClass, 0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent, id);
}

void CustomSlider::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(value_, min_, std::max(min_, max_));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CustomSlider::SetValue(int value) {
    const int clamped = std::clamp(value, min_, std::max(min_, max_));
    const bool changed = clamped != value_;
    value_ = clamped;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (changed) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void CustomSlider::SetValueFromX(int x) {
    if (const std::optional<int> value = SliderValueAt(x, width_, min_, max_, scale_)) ChangeValue(*value);
}

void CustomSlider::ChangeValue(int value) {
    if (value == value_) return;
    SetValue(value);
    SendMessageW(parent_, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, value_ & 0xFFFF), reinterpret_cast<LPARAM>(hwnd_));
    // Whatever the parent changed in response is repainted during the drag.
    UpdateWindow(parent_);
}

LRESULT CustomSlider::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = AnswerFocusableControl(hwnd_, accessible_, message, wParam, lParam)) return *answer;
    const int x = static_cast<short>(LOWORD(lParam));
    switch (message) {
        case WM_LBUTTONDOWN:
            SetFocus(hwnd_);
            drag_.Begin(hwnd_);
            SetValueFromX(x);
            return 0;
        case WM_MOUSEMOVE:
            if (!hovered_) {
                hovered_ = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            if (drag_.held()) SetValueFromX(x);
            return 0;
        case WM_LBUTTONUP:
            drag_.Release();
            return 0;
        case WM_CAPTURECHANGED:
            drag_.Lost();
            return 0;
        case WM_KEYDOWN:
            if (OnKey(wParam)) return 0;
            return SendMessageW(parent_, message, wParam, lParam);
        case WM_SYSKEYDOWN:
            return SendMessageW(parent_, message, wParam, lParam);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SIZE:
            width_ = static_cast<short>(LOWORD(lParam));
            height_ = static_cast<short>(HIWORD(lParam));
            buffer_.Resize(hwnd_, width_, height_);
            return 0;
        case WM_ENABLE:
        case WM_MOUSELEAVE:
            hovered_ = false;
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        default:
            break;
    }
    return BufferedWindow::HandleMessage(message, wParam, lParam);
}

bool CustomSlider::OnKey(WPARAM key) {
    struct KeyRule {
        WPARAM key;
        SliderKey rule;
    };
    static constexpr KeyRule kRules[] = {
        {VK_LEFT, SliderKey::StepDown}, {VK_DOWN, SliderKey::StepDown}, {VK_RIGHT, SliderKey::StepUp},
        {VK_UP, SliderKey::StepUp},     {VK_NEXT, SliderKey::PageDown}, {VK_PRIOR, SliderKey::PageUp},
        {VK_HOME, SliderKey::Home},     {VK_END, SliderKey::End},
    };
    for (const KeyRule& r : kRules) {
        if (r.key != key) continue;
        RevealFocusRings(hwnd_);
        ChangeValue(SliderValueForKey(r.rule, value_, min_, max_));
        return true;
    }
    return false;
}

long CustomSlider::AccessibleRole(int) const {
    return ROLE_SYSTEM_SLIDER;
}

std::wstring CustomSlider::AccessibleValue(int) const {
    return std::to_wstring(value_) + L"%";
}

void CustomSlider::Paint(HDC dc, int, int) {
    const RECT body{0, 0, width_, height_};
    // The corners outside the rounded body show the window background the slider sits on.
    FillSolidRect(dc, body, ColorWindowBg);
    const int radius = scale_.px(ControlCornerRadius());
    const int trackRadius = scale_.px(kTrackRadius);
    const int thumbRadius = scale_.px(kThumbRadius);
    FillRoundRect(dc, body, radius, ColorControlBg);
    StrokeRoundRect(dc, body, radius, hovered_ ? ColorAccent : ColorBorder, scale_.px(1.0f));
    if (FocusRingShown(hwnd_)) PaintFocusRing(dc, body, radius, scale_);

    const SliderLayout layout = LayOutSlider(width_, height_, value_, min_, max_, scale_);
    FillRoundRect(dc, toRect(layout.track), trackRadius, AdjustColor(ColorFrame, -8));
    if (layout.fill.right > layout.fill.left + 2) {
        FillRoundRectGradient(dc, toRect(layout.fill), trackRadius, AdjustColor(ColorSliderFill, 10),
                              AdjustColor(ColorSliderFill, -10));
    }
    const Color thumb = drag_.held() ? ColorThumbDragged : ColorThumb;
    FillRoundRect(dc, toRect(layout.thumb), thumbRadius, thumb);
    StrokeRoundRect(dc, toRect(layout.thumb), thumbRadius, AdjustColor(thumb, -60), scale_.px(1.0f));
}
