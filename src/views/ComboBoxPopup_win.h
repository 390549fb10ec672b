#pragma once

#include "ui/BackBuffer_win.h"
#include "ui/Window.h"

class ComboBox;

// The open list of a ComboBox (class "OrlixComboBoxPopup"): a top-level window below the control with
// every item and its counts. It holds the mouse capture and the keyboard focus while it exists; the
// combo box creates and destroys it.
class ComboBoxPopup : public Window {
public:
    explicit ComboBoxPopup(ComboBox& owner) : owner_(owner) {}

    bool Create(int x, int y, int width, int height);
    void Destroy();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnKeyDown(WPARAM key);

    ComboBox& owner_;
    BackBuffer buffer_;
};
