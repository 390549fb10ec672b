#pragma once

#include "ui/BufferedWindow_win.h"

class ComboBox;

// The open list of a ComboBox (class "OrlixComboBoxPopup"): a top-level window below the control with
// every item and its counts. It holds the mouse capture and the keyboard focus while it exists; the
// combo box creates and destroys it.
class ComboBoxPopup : public BufferedWindow {
public:
    explicit ComboBoxPopup(ComboBox& owner) : owner_(owner) {}

    bool Create(int x, int y, int width, int height);
    // Also lets go of the buffer until the list opens again.
    void Destroy();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The owner draws the items: it holds them.
    void Paint(HDC dc, int width, int height) override;

private:
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnKeyDown(WPARAM key);

    ComboBox& owner_;
};
