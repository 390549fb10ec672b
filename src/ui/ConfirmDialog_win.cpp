#include "ConfirmDialog_win.h"

#include "ExternalNames.h"
#include "ForceForeground_win.h"
#include "Painter_win.h"
#include "Theme.h"
#include "base/ScopedHandles_win.h"

namespace {

const Window::WindowClass kConfirmClass{ExternalNames::CLASS_CONFIRM, CS_HREDRAW | CS_VREDRAW, IDC_ARROW, nullptr,
                                        ColorWindowBg};
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

}  // namespace

ConfirmDialog::ConfirmDialog(const std::wstring& message, DpiScale scale) : ModalDialog(scale), message_(message) {}

bool ConfirmDialog::Show(HWND owner, const std::wstring& message, const std::wstring& title) {
    if (ConfirmDialog* open = OpenDialogMark<ConfirmDialog>::open()) {
        open->BringToFront();
        return false;
    }
    if (!RegisterOnce(kConfirmClass)) return false;
    // Owned by a hidden tool window rather than by the caller's window, so the dialog keeps its own place
    // in the z-order and the taskbar.
    UniqueWindow hiddenOwner(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    ConfirmDialog dialog(message, ScaleFor(owner));
    OpenDialogMark<ConfirmDialog> mark(&dialog);
    dialog.text_ = dialog.MeasureWrapped(message, dialog.scale_.px(kDialogWrapWidth));
    dialog.yes_ = dialog.MeasureLine(L"Yes");
    dialog.no_ = dialog.MeasureLine(L"No");
    const DialogSize frame =
        FrameSize(ConfirmClientSize(dialog.text_.cx, dialog.text_.cy, dialog.yes_.cx, dialog.no_.cx, dialog.scale_),
                  kStyle, kExStyle);
    const ScreenRect placed = CentreOn(OwnerOrScreen(owner), frame.width, frame.height);
    if (!dialog.CreateBound(kConfirmClass, kExStyle, title.c_str(), kStyle, placed.left, placed.top, frame.width,
                            frame.height, hiddenOwner ? hiddenOwner.get() : owner, 0)) {
        return false;
    }
    if (owner) EnableWindow(owner, FALSE);
    SetWindowPos(dialog.hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    ShowWindow(dialog.hwnd_, SW_SHOW);
    UpdateWindow(dialog.hwnd_);
    ForceForeground(dialog.hwnd_);
    dialog.RunModal(owner);
    return dialog.result_;
}

void ConfirmDialog::Answer(bool yes) {
    result_ = yes;
    Close();
}

LRESULT ConfirmDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            RECT client{};
            GetClientRect(hwnd_, &client);
            const ConfirmButtons buttons = PlaceConfirmButtons(client.right, client.bottom, yes_.cx, no_.cx, scale_);
            AddButton(L"Yes", IDYES, buttons.yes);
            AddButton(L"No", IDNO, buttons.no);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) Answer(false);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDYES) Answer(true);
            if (LOWORD(wParam) == IDNO) Answer(false);
            return 0;
        case WM_CLOSE:
            Answer(false);
            return 0;
        default:
            return ModalDialog::HandleMessage(message, wParam, lParam);
    }
}

void ConfirmDialog::PaintContent(HDC dc, int width, int) {
    SetTextColor(dc, ColorTextSoft);
    const int margin = scale_.px(20);
    RECT text{margin, margin, width - margin, text_.cy + margin};
    DrawTextW(dc, message_.c_str(), -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}
