#include "ModalDialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "ButtonFace_win.h"
#include "KeyboardNavigation.h"
#include "Painter_win.h"
#include "Theme.h"

namespace {

constexpr UINT_PTR kButtonSubclassId = 1;
constexpr int kMaxCaption = 64;

void setHandCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

}  // namespace

ModalDialog::ModalDialog(DpiScale scale) {
    scale_ = scale;
    OnScaleChanged();
}

void ModalDialog::OnScaleChanged() {
    font_ = CreateWidgetFont(scale_.px(kTextHeight));
}

ModalDialog::~ModalDialog() = default;

void ModalDialog::RunModal(HWND owner) {
    owner_ = owner;
    done_ = false;
    MSG msg{};
    while (!done_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            if (hwnd_) Close();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// While the owner is disabled the system cannot hand it the activation: destroyed first, the dialog would
// leave another program's window in front.
void ModalDialog::Close() {
    if (owner_) EnableWindow(owner_, TRUE);
    DestroyWindow(hwnd_);
}

HWND ModalDialog::AddButton(const wchar_t* text, int id, const ScreenRect& bounds) {
    HWND button = CreateWindowExW(
        0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, bounds.left, bounds.top, bounds.width(),
        bounds.height(), hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (!button) return nullptr;
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    SetWindowSubclass(button, ButtonSubclass, kButtonSubclassId, reinterpret_cast<DWORD_PTR>(this));
    buttons_.push_back(button);
    if (!focusedButton_) focusedButton_ = button;
    return button;
}

void ModalDialog::BringToFront() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
}

DialogSize ModalDialog::FrameSize(const DialogSize& client, DWORD style, DWORD exStyle) {
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

ScreenRect ModalDialog::OwnerOrScreen(HWND owner) {
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner && IsWindow(owner)) GetWindowRect(owner, &r);
    return ToScreenRect(r);
}

DpiScale ModalDialog::ScaleFor(HWND owner) {
    const ScreenRect area = OwnerOrScreen(owner);
    return ScaleNear(area.left + area.width() / 2, area.top + area.height() / 2);
}

SIZE ModalDialog::MeasureWrapped(const std::wstring& text, int wrapWidth) const {
    WindowDc screen(nullptr);
    ScopedSelect selectFont(screen.get(), font_.get());
    RECT r{0, 0, wrapWidth, 0};
    DrawTextW(screen.get(), text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {r.right, r.bottom};
}

SIZE ModalDialog::MeasureLine(const std::wstring& text) const {
    WindowDc screen(nullptr);
    ScopedSelect selectFont(screen.get(), font_.get());
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

LRESULT ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlType != ODT_BUTTON) break;
            PaintButton(*item);
            return TRUE;
        }
        case WM_DPICHANGED:
            SetScale(DpiScale(HIWORD(wParam)));
            MoveToSuggestedRect(lParam);
            return 0;
        case WM_SETFOCUS:
            if (focusedButton_) SetFocus(focusedButton_);
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_DESTROY:
            done_ = true;
            return 0;
        default:
            break;
    }
    return BufferedWindow::HandleMessage(message, wParam, lParam);
}

void ModalDialog::Paint(HDC dc, int width, int height) {
    FillSolidRect(dc, {0, 0, width, height}, ColorWindowBg);
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect selectFont(dc, font_.get());
    PaintContent(dc, width, height);
}

void ModalDialog::PaintButton(const DRAWITEMSTRUCT& item) const {
    const RECT& r = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    // The mouse lights the button it is over; the keyboard's focus shows as the ring alone, so that a
    // pointer over the other answer leaves no doubt which one a click gives.
    const bool hovered = item.hwndItem == hoveredButton_;
    BackBuffer buffer;
    const HDC dc = buffer.Begin(item.hDC, r.right, r.bottom);
    PaintButtonFace(dc, r, {pressed, hovered, hovered, hovered, (item.itemState & ODS_FOCUS) != 0}, scale_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorText);
    ScopedSelect selectFont(dc, font_.get());
    wchar_t caption[kMaxCaption] = L"";
    GetWindowTextW(item.hwndItem, caption, kMaxCaption);
    RECT text = r;
    if (pressed) OffsetRect(&text, 0, 1);
    DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    buffer.Present(item.hDC, r.right, r.bottom);
}

bool ModalDialog::OnButtonKey(HWND button, WPARAM key) {
    int step = 0;
    switch (key) {
        case VK_TAB:
            step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
            break;
        case VK_LEFT:
        case VK_UP:
            step = -1;
            break;
        case VK_RIGHT:
        case VK_DOWN:
            step = 1;
            break;
        case VK_SPACE:
        case VK_RETURN:
            // Posted: the answer destroys the dialog and this button with it.
            PostMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
            return true;
        default:
            return false;
    }
    const auto at = std::find(buttons_.begin(), buttons_.end(), button);
    const int next = StepSelection(std::vector<bool>(buttons_.size(), true),
                                   at == buttons_.end() ? -1 : static_cast<int>(at - buttons_.begin()), step);
    if (next >= 0) SetFocus(buttons_[static_cast<size_t>(next)]);
    return true;
}

LRESULT CALLBACK ModalDialog::ButtonSubclass(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR dialog) {
    auto* self = reinterpret_cast<ModalDialog*>(dialog);
    switch (message) {
        case WM_SETCURSOR:
            setHandCursor();
            return TRUE;
        case WM_MOUSEMOVE: {
            setHandCursor();
            if (self->hoveredButton_ != button) {
                if (self->hoveredButton_) InvalidateRect(self->hoveredButton_, nullptr, FALSE);
                self->hoveredButton_ = button;
                InvalidateRect(button, nullptr, FALSE);
            }
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
            TrackMouseEvent(&track);
            break;
        }
        case WM_MOUSELEAVE:
            if (self->hoveredButton_ == button) {
                self->hoveredButton_ = nullptr;
                InvalidateRect(button, nullptr, FALSE);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            InvalidateRect(button, nullptr, FALSE);
            break;
        case WM_KEYDOWN:
            if (!self->OnButtonKey(button, wParam)) PostMessageW(self->hwnd_, message, wParam, lParam);
            return 0;
        case WM_SETFOCUS:
            self->focusedButton_ = button;
            break;
        case WM_NCDESTROY:
            if (self->hoveredButton_ == button) self->hoveredButton_ = nullptr;
            if (self->focusedButton_ == button) self->focusedButton_ = nullptr;
            RemoveWindowSubclass(button, ButtonSubclass, kButtonSubclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}
