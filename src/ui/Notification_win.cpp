#include "Notification_win.h"

#include "ExternalNames.h"
#include "Painter_win.h"
#include "ScopedGdi_win.h"
#include "Theme.h"

namespace {

const Window::WindowClass kNotificationClass{ExternalNames::CLASS_NOTICE, CS_HREDRAW | CS_VREDRAW};
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr Color kFrameColor = ColorButtonHoverFace;

Color titleColor(NotificationKind kind) {
    return kind == NotificationKind::Warning ? ColorNoticeWarning : ColorNoticeInfo;
}

}  // namespace

Notification::Notification(HWND owner, const std::wstring& message, const std::wstring& title, NotificationKind kind)
    : ModalDialog(ScaleFor(owner)), message_(message), title_(title), kind_(kind) {}

void Notification::Show(HWND owner, const std::wstring& message, const std::wstring& title, NotificationKind kind) {
    if (Notification* open = OpenDialogMark<Notification>::open()) {
        open->BringToFront();
        return;
    }
    if (!RegisterOnce(kNotificationClass)) return;
    Notification dialog(owner, message, title, kind);
    OpenDialogMark<Notification> mark(&dialog);
    const SIZE text = dialog.MeasureWrapped(message, dialog.scale_.px(kDialogWrapWidth));
    const SIZE titleSize = title.empty() ? SIZE{} : dialog.MeasureLine(title);
    const DialogSize frame =
        FrameSize(NotificationClientSize(text.cx, text.cy, titleSize.cx, titleSize.cy, !title.empty(), dialog.scale_),
                  kStyle, kExStyle);
    const ScreenRect placed = CentreOn(OwnerOrScreen(owner), frame.width, frame.height);
    // The title is the window text as well, so that screen readers and tools can tell notices apart.
    if (!dialog.CreateBound(kNotificationClass, kExStyle, title.c_str(), kStyle, placed.left, placed.top, frame.width,
                            frame.height, owner, 0)) {
        return;
    }
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(dialog.hwnd_, SW_SHOW);
    UpdateWindow(dialog.hwnd_);
    dialog.RunModal(owner);
}

LRESULT Notification::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            RECT client{};
            GetClientRect(hwnd_, &client);
            AddButton(L"OK", IDOK,
                      CentredButton(client.right, client.bottom, scale_.px(80), scale_.px(28), scale_.px(43)));
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) Close();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) Close();
            return 0;
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        default:
            return ModalDialog::HandleMessage(message, wParam, lParam);
    }
}

void Notification::PaintContent(HDC dc, int width, int height) {
    {
        UniquePen framePen(CreatePen(PS_SOLID, scale_.px(1), kFrameColor));
        ScopedSelect selectPen(dc, framePen.get());
        ScopedSelect selectBrush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, width, height);
    }
    const int margin = scale_.px(20);
    int y = margin;
    if (!title_.empty()) {
        SetTextColor(dc, titleColor(kind_));
        RECT title{margin, margin, width - margin, scale_.px(40)};
        DrawTextW(dc, title_.c_str(), -1, &title, DT_NOPREFIX);
        y = scale_.px(45);
    }
    SetTextColor(dc, ColorTextSoft);
    RECT text{margin, y, width - margin, height - scale_.px(60)};
    DrawTextW(dc, message_.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
}
