#pragma once

#include <string>
#include <vector>

#include "model/BossEntry.h"
#include "ui/AccessibleControl_win.h"
#include "ui/BufferedWindow_win.h"
#include "ui/MousePress_win.h"
#include "views/ChannelRowPainter_win.h"
#include "views/ListScroll.h"

// The channel list (class "ZentrikProgressList"): one row per channel with its label, HP bar, time to
// death and HP-loss rate, in the order given; "Unknown" when empty, with the reason under it when there is
// one. What the empty list says is also its window text, for screen readers and tools. Scrolls through its
// own drawn scrollbar, the mouse wheel and WM_VSCROLL. Sends nothing to its parent. Screen readers read it
// as a list with the name the owner gives, one item per row named by the row's text, and what the empty
// list says as its value.
class ProgressList : public BufferedWindow, private AccessibleSource {
public:
    bool Create(HWND parent, int x, int y, int width, int height, unsigned id);
    void SetBounds(int x, int y, int width, int height);
    // Repaints at once when the rows differ from those shown.
    void SetRows(const std::vector<ChannelRow>& rows);
    // Why there are no rows, e.g. "tracker.example.org: connection refused"; empty for no known reason.
    void SetEmptyReason(const std::wstring& reason);
    void ScrollToTop();
    void SetScrollbarEnabled(bool enabled);
    void SetTextScale(int percent);
    // What screen readers call the list, e.g. "Channels".
    void SetAccessibleName(const std::wstring& name) { accessibleName_ = name; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void InvalidateChangedRows(const std::vector<ChannelRow>& rows);
    void UpdateWindowText();
    // Where the row at `index` is drawn while the list shows its current scroll position.
    RECT DrawnRowRect(int index, int width) const;
    void Paint(HDC dc, int width, int height) override;
    bool PaintsInParts() const override { return true; }
    void PaintEmpty(HDC dc, const RECT& client);
    void PaintScrollbar(HDC dc, int width, int height);
    bool ShowsScrollbar() const { return scrollbarEnabled_ && scroll_.overflows(); }
    void ScrollTo(int position);
    void OnVScroll(WORD code, WORD thumbPosition);
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnSize(int width, int height);
    void OnScaleChanged() override;

    std::wstring AccessibleName(int child) const override;
    long AccessibleRole(int child) const override;
    long AccessibleState(int child) const override;
    std::wstring AccessibleValue(int child) const override;
    int AccessibleChildCount() const override { return static_cast<int>(rows_.size()); }
    RECT AccessibleChildRect(int child) const override;

    std::vector<ChannelRow> rows_;
    std::wstring emptyReason_;
    ListScroll scroll_;
    bool scrollbarEnabled_ = true;
    MousePress thumbDrag_;
    int dragStartY_ = 0;
    int dragStartPosition_ = 0;
    bool scrollbarHover_ = false;
    int textScale_ = 100;
    ChannelRowPainter rowPainter_;
    std::wstring accessibleName_;
    AccessibleControl accessible_{*this};
};
