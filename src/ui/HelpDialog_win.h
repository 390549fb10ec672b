#pragma once

#include <string>

#include "ModalDialog_win.h"

// The help window (class "OrlixHelpDialog"): sized to its word-wrapped text within the work area, with
// an OK button, modal over its owner.
class HelpDialog : public ModalDialog {
public:
    static void Show(HWND owner, const std::wstring& text, const std::wstring& title);

private:
    HelpDialog(const std::wstring& text, DpiScale scale);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc, int width, int height) override;

    std::wstring text_;
    HWND okButton_ = nullptr;
};
