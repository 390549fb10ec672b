#pragma once

#include <string>

#include "ModalDialog_win.h"

// Only colours the title line.
enum class NotificationKind : int { Info = 0, Warning = 1 };

// A dark message with an optional coloured title and an OK button (class "OrlixNotification"), modal
// over its owner.
class Notification : public ModalDialog {
public:
    // An empty title draws no title line. A second call while one is open only brings the open one to the front.
    static void Show(HWND owner, const std::wstring& message, const std::wstring& title, NotificationKind kind);
    static bool IsOpen() { return OpenDialogMark<Notification>::open() != nullptr; }

private:
    Notification(HWND owner, const std::wstring& message, const std::wstring& title, NotificationKind kind);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintContent(HDC dc, int width, int height) override;

    std::wstring message_;
    std::wstring title_;
    NotificationKind kind_;
};
