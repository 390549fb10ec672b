#include "views/ComboBoxPopup_win.h"

#include <windowsx.h>

#include "ExternalNames.h"
#include "ui/ScopedGdi_win.h"
#include "views/ComboBox_win.h"

namespace {

const Window::WindowClass kPopupClass{ExternalNames::CLASS_COMBO_POPUP, CS_DROPSHADOW | CS_SAVEBITS};

}  // namespace

bool ComboBoxPopup::Create(int x, int y, int width, int height) {
    return CreateBound(kPopupClass, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP | WS_VISIBLE | WS_BORDER, x, y,
                       width, height, nullptr, 0);
}

void ComboBoxPopup::Destroy() {
    Window::Destroy();
    buffer_.Release();
}

LRESULT ComboBoxPopup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_KILLFOCUS:
            owner_.ClosePopup();
            return 0;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
            return 1;
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

void ComboBoxPopup::Paint(HDC dc, int width, int height) {
    owner_.PaintList(dc, width, height);
}

void ComboBoxPopup::OnMouseMove(int x, int y) {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int itemHeight = owner_.ItemHeight();
    const int index = owner_.list_.IndexAt(x, y, client.right, itemHeight);
    const bool onBell = index >= 0 && WatchBellRect(index, client.right, itemHeight).contains(x, y);
    if (owner_.list_.SetHot(index, onBell)) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ComboBoxPopup::OnLButtonDown(int x, int y) {
    // A press may come without a move before it.
    OnMouseMove(x, y);
    const ComboList& list = owner_.list_;
    if (!list.valid(list.hot())) {
        owner_.ClosePopup();
    } else if (list.hotOnBell()) {
        owner_.ToggleHotWatch();
    } else {
        owner_.Choose(list.hot());
    }
}

void ComboBoxPopup::OnKeyDown(WPARAM key) {
    ComboList& list = owner_.list_;
    switch (key) {
        case VK_ESCAPE:
            owner_.ClosePopup();
            break;
        case VK_UP:
            list.MoveHotUp();
            InvalidateRect(hwnd_, nullptr, FALSE);
            break;
        case VK_DOWN:
            list.MoveHotDown();
            InvalidateRect(hwnd_, nullptr, FALSE);
            break;
        case VK_SPACE:
            owner_.ToggleHotWatch();
            break;
        case VK_RETURN:
            if (list.valid(list.hot())) {
                owner_.Choose(list.hot());
            } else {
                owner_.ClosePopup();
            }
            break;
        default:
            break;
    }
}
