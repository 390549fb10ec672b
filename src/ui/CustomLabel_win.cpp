#include "CustomLabel_win.h"

#include <oleacc.h>

#include <algorithm>

#include "ExternalNames.h"
#include "FontFit.h"
#include "Painter_win.h"

namespace {

const Window::WindowClass kLabelClass{ExternalNames::CLASS_LABEL, CS_OWNDC};
// Room kept clear between the text and each side of the box, and the smallest height a long text shrinks to.
constexpr int kTextMargin = 2;
constexpr int kSmallestTextHeight = 7;

}  // namespace

bool CustomLabel::Create(HWND parent, int x, int y, int width, int height, unsigned id) {
    if (!CreateBound(kLabelClass, 0, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent, id)) return false;
    RECT client{};
    GetClientRect(hwnd_, &client);
    buffer_.Resize(hwnd_, client.right, client.bottom);
    return true;
}

void CustomLabel::SetText(const std::wstring& text) {
    if (text == text_) return;
    text_ = text;
    SetWindowTextW(hwnd_, text_.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    // Some labels change every second (a countdown, an age): a label is small and its text is all that changed.
    PaintNow();
}

void CustomLabel::SetFontSize(int points) {
    fontPointSize_ = points;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CustomLabel::SetBounds(int x, int y, int width, int height) {
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOCOPYBITS);
}

LRESULT CustomLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            buffer_.Resize(hwnd_, LOWORD(lParam), HIWORD(lParam));
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_GETOBJECT:
            if (const auto answer = accessible_.Answer(hwnd_, wParam, lParam)) return *answer;
            return BufferedWindow::HandleMessage(message, wParam, lParam);
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

void CustomLabel::Paint(HDC dc, int width, int height) {
    RECT client{0, 0, width, height};
    FillSolidRect(dc, client, backgroundColor_);
    if (text_.empty()) return;
    const int nominal = MulDiv(fontPointSize_, scale_.dpi(), 72);
    ScopedSelect selectFont(dc, FontOfHeight(FittedHeight(dc, nominal, width - 2 * scale_.px(kTextMargin))));
    SetTextColor(dc, ColorText);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text_.c_str(), -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

long CustomLabel::AccessibleRole(int) const {
    return ROLE_SYSTEM_STATICTEXT;
}

long CustomLabel::AccessibleState(int) const {
    return STATE_SYSTEM_READONLY;
}

int CustomLabel::FittedHeight(HDC dc, int nominal, int width) {
    const auto fits = [&](int height) {
        ScopedSelect selectFont(dc, FontOfHeight(height));
        SIZE size{};
        GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &size);
        return size.cx <= width;
    };
    // Most texts fit at their own size: one measurement, and the search only for those that do not.
    if (fits(nominal)) return nominal;
    return LargestFittingHeight(std::min(nominal, scale_.px(kSmallestTextHeight)), nominal, fits);
}

HFONT CustomLabel::FontOfHeight(int height) {
    if (!font_ || fontHeight_ != height) {
        font_ = CreateWidgetFont(-height);
        fontHeight_ = height;
    }
    return font_.get();
}
