#include "HelpDialog_win.h"

#include "ExternalNames.h"
#include "Theme.h"

namespace {

const Window::WindowClass kHelpClass{ExternalNames::CLASS_HELP, CS_HREDRAW | CS_VREDRAW, IDC_ARROW, nullptr,
                                     ColorWindowBg};
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr int kTextMargin = 14;
constexpr int kButtonRowHeight = 58;

ScreenRect workArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

HelpDialog::HelpDialog(const std::wstring& text, DpiScale scale) : ModalDialog(scale), text_(text) {}

void HelpDialog::Show(HWND owner, const std::wstring& text, const std::wstring& title) {
    if (!RegisterOnce(kHelpClass)) return;
    HelpDialog dialog(text, ScaleFor(owner));
    const ScreenRect work = workArea();
    const DialogSize client = HelpClientSize(
        work.width(), work.height(), dialog.scale_,
        [&dialog, &text](int wrapWidth) { return static_cast<int>(dialog.MeasureWrapped(text, wrapWidth).cy); });
    const DialogSize frame = FrameSize(client, kStyle, kExStyle);
    ScreenRect placed = CentreOn(work, frame.width, frame.height);
    if (owner && IsWindow(owner)) placed = KeepInside(CentreOn(OwnerOrScreen(owner), frame.width, frame.height), work);
    if (!dialog.CreateBound(kHelpClass, kExStyle, title.c_str(), kStyle, placed.left, placed.top, frame.width,
                            frame.height, owner, 0)) {
        return;
    }
    SetWindowPos(dialog.hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(dialog.hwnd_, SW_SHOW);
    UpdateWindow(dialog.hwnd_);
    dialog.RunModal(owner);
}

LRESULT HelpDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            okButton_ = AddButton(L"OK", IDOK, {});
            return 0;
        case WM_SIZE: {
            const ScreenRect ok =
                CentredButton(LOWORD(lParam), HIWORD(lParam), scale_.px(90), scale_.px(30), scale_.px(44));
            MoveWindow(okButton_, ok.left, ok.top, ok.width(), ok.height(), TRUE);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam != VK_ESCAPE) break;
            Close();
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK) break;
            Close();
            return 0;
        default:
            break;
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

void HelpDialog::PaintContent(HDC dc, int width, int height) {
    SetTextColor(dc, ColorTextSoft);
    const int margin = scale_.px(kTextMargin);
    RECT text{margin, margin, width - margin, height - scale_.px(kButtonRowHeight)};
    DrawTextW(dc, text_.c_str(), -1, &text, DT_WORDBREAK | DT_NOPREFIX);
}
