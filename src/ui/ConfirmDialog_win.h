#pragma once

#include <string>

#include "ModalDialog_win.h"

// A dark Yes/No question (class "OrlixConfirmDialog"), modal over its owner.
class ConfirmDialog : public ModalDialog {
public:
    // True for Yes (its button, which has the focus at first); false for No, Escape, the close box, a failed creation,
    // and for a second call while one is open, which only brings the open one to the front.
    static bool Show(HWND owner, const std::wstring& message, const std::wstring& title);

private:
    ConfirmDialog(const std::wstring& message, DpiScale scale);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc, int width, int height) override;
    void Answer(bool yes);

    std::wstring message_;
    SIZE text_{};
    SIZE yes_{};
    SIZE no_{};
    bool result_ = false;
};
