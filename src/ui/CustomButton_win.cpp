#include "CustomButton_win.h"

#include <oleacc.h>

#include "ButtonFace_win.h"
#include "ExternalNames.h"
#include "FocusRing_win.h"
#include "Painter_win.h"
#include "Theme.h"

namespace {

const Window::WindowClass kButtonClass{ExternalNames::CLASS_BUTTON,
                                       CS_HREDRAW | CS_VREDRAW,
                                       IDC_HAND,
                                       nullptr,
                                       CLR_INVALID,
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)};
constexpr int kIconSize = 16;
constexpr int kIconInset = 10;
constexpr int kIconGap = 6;

}  // namespace

bool CustomButton::Create(HWND parent, int x, int y, int width, int height, unsigned id, const std::wstring& text) {
    parent_ = parent;
    id_ = id;
    text_ = text;
    if (!CreateBound(kButtonClass, 0, text_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width, height, parent,
                     id)) {
        return false;
    }
    OnScaleChanged();
    return true;
}

void CustomButton::OnScaleChanged() {
    font_ = CreateWidgetFont(scale_.px(kButtonTextHeight));
}

void CustomButton::SetText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    SetWindowTextW(hwnd_, text_.c_str());
    InvalidateRect(hwnd_, nullptr, FALSE);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void CustomButton::SetIcon(unsigned icon) {
    if (icon == icon_) return;
    icon_ = icon;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CustomButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = AnswerFocusableControl(hwnd_, accessible_, message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_MOUSEMOVE:
            if (press_.held()) {
                // While the button holds the capture no WM_MOUSELEAVE is guaranteed: the pointer itself
                // says whether a release would click.
                SetHovered(ContainsPoint(lParam));
            } else if (!hovered_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                TrackMouseEvent(&track);
                SetHovered(true);
            }
            return 0;
        case WM_MOUSELEAVE:
            SetHovered(false);
            return 0;
        case WM_LBUTTONDOWN:
            press_.Begin(hwnd_);
            return 0;
        case WM_LBUTTONUP:
            if (press_.Release()) {
                SetHovered(ContainsPoint(lParam));
                // Releasing after the pointer has left the button is no click.
                if (hovered_) Click();
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (message == WM_SYSKEYDOWN || (wParam != VK_SPACE && wParam != VK_RETURN))
                return SendMessageW(parent_, message, wParam, lParam);
            RevealFocusRings(hwnd_);
            // A held key repeats; only its first press clicks.
            if (!(lParam & (1 << 30))) Click();
            return 0;
        case WM_CAPTURECHANGED:
            // The pointer may be anywhere by now; the next move over the button lights it again.
            if (press_.Lost()) SetHovered(false);
            return 0;
        default:
            break;
    }
    return BufferedWindow::HandleMessage(message, wParam, lParam);
}

void CustomButton::Click() {
    SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_ & 0xFFFF, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

void CustomButton::DoAccessibleDefaultAction(int) {
    PostMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_ & 0xFFFF, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd_));
}

long CustomButton::AccessibleRole(int) const {
    return ROLE_SYSTEM_PUSHBUTTON;
}

bool CustomButton::ContainsPoint(LPARAM lParam) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&client, p);
}

void CustomButton::SetHovered(bool hovered) {
    if (hovered == hovered_) return;
    hovered_ = hovered;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CustomButton::Paint(HDC dc, int width, int height) {
    const RECT r{0, 0, width, height};
    const bool pressed = press_.held();
    PaintButtonFace(dc, r, {pressed, hovered_, hovered_, hovered_ && !pressed, FocusRingShown(hwnd_)}, scale_);

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorText);
    ScopedSelect selectFont(dc, font_.get());
    const int pressedShift = pressed ? 1 : 0;
    RECT text = r;
    OffsetRect(&text, 0, pressedShift);
    if (icon_ != 0) {
        const int size = scale_.px(kIconSize);
        const int inset = scale_.px(kIconInset);
        RECT icon{r.left + inset, (r.top + r.bottom - size) / 2, r.left + inset + size, (r.top + r.bottom + size) / 2};
        OffsetRect(&icon, 0, pressedShift);
        DrawVectorIcon(dc, icon_, icon, ColorIcon, scale_.px(2.0f));
        text.left = icon.right + scale_.px(kIconGap);
    }
    DrawTextW(dc, text_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}
