#pragma once

#include <string>

#include "AccessibleControl_win.h"
#include "BufferedWindow_win.h"
#include "MousePress_win.h"

// A rounded push button with a gradient face and an optional leading icon (class "OrlixButton").
// A press and release inside sends WM_COMMAND (BN_CLICKED) to the parent; a press cut short by the loss
// of the mouse capture sends nothing. The caption is also the window text.
//
// A click leaves the focus where it is (a hotkey being captured keeps it); given the focus, Space or
// Enter click the button as the mouse does, and other keys go on to the parent. A focus ring shows while
// it has the focus, once the keyboard is in use (see FocusRing_win.h). Screen readers read it as a push
// button named by its caption.
class CustomButton : public BufferedWindow, private AccessibleSource {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id, const std::wstring& text);
    void SetText(const std::wstring& text);
    // A VectorIcon value drawn before the caption; 0 for none.
    void SetIcon(unsigned icon);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool ContainsPoint(LPARAM lParam) const;
    void SetHovered(bool hovered);
    void Paint(HDC dc, int width, int height) override;
    void OnScaleChanged() override;
    void Click();

    std::wstring AccessibleName(int) const override { return text_; }
    long AccessibleRole(int child) const override;
    long AccessibleState(int) const override { return FocusableState(hwnd_); }
    std::wstring AccessibleDefaultAction(int) const override { return L"Press"; }
    void DoAccessibleDefaultAction(int) override;

    HWND parent_ = nullptr;
    unsigned id_ = 0;
    std::wstring text_;
    unsigned icon_ = 0;
    bool hovered_ = false;
    MousePress press_;
    UniqueFont font_;
    AccessibleControl accessible_{*this};
};
