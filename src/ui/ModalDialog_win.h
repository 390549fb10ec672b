#pragma once

#include <string>
#include <vector>

#include "BufferedWindow_win.h"
#include "DialogLayout.h"
#include "ScopedGdi_win.h"
#include "base/ScreenRect.h"

// Names the one open dialog of a kind for the length of its Show: a second Show of the same kind finds
// it there instead of sharing its state.
template <typename Dialog>
class OpenDialogMark {
public:
    explicit OpenDialogMark(Dialog* dialog) { open_ = dialog; }
    ~OpenDialogMark() { open_ = nullptr; }
    OpenDialogMark(const OpenDialogMark&) = delete;
    OpenDialogMark& operator=(const OpenDialogMark&) = delete;
    static Dialog* open() { return open_; }

private:
    static inline Dialog* open_ = nullptr;
};

// What the three dark dialogs share: the 14 px widget font, the owner-drawn buttons with their hover
// tracking, painting through one buffer, and the nested modal loop over a disabled owner. A dialog is
// measured and laid out at the display scale of the monitor it opens on, before it is created.
//
// As in a system message box the buttons have the keyboard: the first one added has the focus when the
// dialog opens, Tab, Shift+Tab and the arrows move it along the buttons, Space and Enter press the focused
// one, and other keys (Escape) go to the dialog. The focused button always shows its ring: a dialog is
// answered from the keyboard as often as with the mouse.
class ModalDialog : public BufferedWindow {
protected:
    explicit ModalDialog(DpiScale scale);
    ~ModalDialog() override;

    // Runs the nested loop over the owner, which Show disabled, until the window is gone. A WM_QUIT that
    // arrives meanwhile closes the dialog and is posted again, so the application's own loop still ends.
    void RunModal(HWND owner);
    // Every way out of the dialog: enables the owner again, then destroys the window.
    void Close();
    // A "BUTTON" child drawn by PaintButton, with the dialog's font; the buttons take the focus in the order
    // they are added.
    HWND AddButton(const wchar_t* text, int id, const ScreenRect& bounds);
    // Puts an open dialog in front of everything again.
    void BringToFront();
    // The window size for a client area of the given size.
    static DialogSize FrameSize(const DialogSize& client, DWORD style, DWORD exStyle);
    // What a dialog centres on: its owner's window rectangle, else the primary screen.
    static ScreenRect OwnerOrScreen(HWND owner);
    // The display scale where a dialog centred on OwnerOrScreen(owner) opens.
    static DpiScale ScaleFor(HWND owner);

    SIZE MeasureWrapped(const std::wstring& text, int wrapWidth) const;
    SIZE MeasureLine(const std::wstring& text) const;

    // The dialog's own text, painted over the flat window background.
    virtual void PaintContent(HDC dc, int width, int height) = 0;
    // Handles button drawing, DPI moves, WM_CLOSE and the end of the loop; the rest goes to the buffered window.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    UniqueFont font_;

private:
    void OnScaleChanged() override;
    static LRESULT CALLBACK ButtonSubclass(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR dialog);
    void PaintButton(const DRAWITEMSTRUCT& item) const;
    // A key pressed on a button; false for those that go on to the dialog.
    bool OnButtonKey(HWND button, WPARAM key);
    void Paint(HDC dc, int width, int height) override;

    HWND owner_ = nullptr;
    HWND hoveredButton_ = nullptr;
    std::vector<HWND> buttons_;
    // The button that has the keyboard, given it back whenever the dialog is activated.
    HWND focusedButton_ = nullptr;
    bool done_ = false;
};
