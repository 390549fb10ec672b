#include "views/ProgressList_win.h"

#include <oleacc.h>
#include <windowsx.h>

#include "ExternalNames.h"
#include "base/WideText.h"
#include "ui/FontFit.h"
#include "ui/Painter_win.h"
#include "ui/ScopedGdi_win.h"
#include "ui/Theme.h"
#include "views/ChannelRowText.h"

namespace {

const Window::WindowClass kListClass{ExternalNames::CLASS_LIST, CS_OWNDC | CS_DBLCLKS};

constexpr wchar_t kEmptyMessage[] = L"Unknown";
constexpr int kSmallestEmptyFont = 12;
constexpr int kLargestEmptyFont = 48;
constexpr UINT kReasonFormat = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
constexpr int kReasonMargin = 8;

}  // namespace

bool ProgressList::Create(HWND parent, int x, int y, int width, int height, unsigned id) {
    return CreateBound(kListClass, 0, kEmptyMessage, WS_CHILD | WS_VISIBLE, x, y, width, height, parent, id);
}

void ProgressList::SetBounds(int x, int y, int width, int height) {
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER);
}

void ProgressList::SetRows(const std::vector<ChannelRow>& rows) {
    if (rows == rows_) return;
    InvalidateChangedRows(rows);
    const size_t oldCount = rows_.size();
    rows_ = rows;
    scroll_.SetRowCount(static_cast<int>(rows_.size()));
    if (rows_.empty() != (oldCount == 0)) UpdateWindowText();
    // Screen readers read the rows again when their number changes; a row's new numbers they read when asked.
    if (rows_.size() != oldCount) NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void ProgressList::SetEmptyReason(const std::wstring& reason) {
    if (reason == emptyReason_) return;
    emptyReason_ = reason;
    if (!rows_.empty()) return;
    UpdateWindowText();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProgressList::UpdateWindowText() {
    SetWindowTextW(hwnd_, AccessibleValue(CHILDID_SELF).c_str());
}

// A new count moves the scrollbar and may move the scroll position, so everything is drawn again; with
// the same count only the visible rows that differ are.
void ProgressList::InvalidateChangedRows(const std::vector<ChannelRow>& rows) {
    if (rows.size() != rows_.size()) {
        InvalidateRect(hwnd_, nullptr, FALSE);
        return;
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    // Gathered into one region: each invalidation is a round trip to the window manager.
    UniqueRegion changed(CreateRectRgn(0, 0, 0, 0));
    for (int i = scroll_.position(); i < scroll_.drawnEnd(); ++i) {
        const auto index = static_cast<size_t>(i);
        if (rows[index] == rows_[index]) continue;
        const RECT row = DrawnRowRect(i, client.right);
        UniqueRegion rowRegion(CreateRectRgnIndirect(&row));
        CombineRgn(changed.get(), changed.get(), rowRegion.get(), RGN_OR);
    }
    RECT bounds{};
    if (GetRgnBox(changed.get(), &bounds) != NULLREGION) InvalidateRgn(hwnd_, changed.get(), FALSE);
}

RECT ProgressList::DrawnRowRect(int index, int width) const {
    const int top = (index - scroll_.position()) * scroll_.rowHeight();
    return RECT{0, top, width, top + scroll_.rowHeight()};
}

void ProgressList::ScrollToTop() {
    ScrollTo(0);
}

void ProgressList::SetScrollbarEnabled(bool enabled) {
    if (enabled == scrollbarEnabled_) return;
    scrollbarEnabled_ = enabled;
    if (!enabled) {
        thumbDrag_.Release();
        scrollbarHover_ = false;
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProgressList::SetTextScale(int percent) {
    textScale_ = percent;
    scroll_.SetRowHeight(RowHeightForTextScale(percent, scale_));
    scroll_.SetRowCount(static_cast<int>(rows_.size()));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProgressList::ScrollTo(int position) {
    if (scroll_.ScrollTo(position)) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT ProgressList::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            OnSize(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(scroll_.WheelTarget(GET_WHEEL_DELTA_WPARAM(wParam)));
            return 0;
        case WM_LBUTTONDOWN:
            OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            thumbDrag_.Release();
            return 0;
        case WM_CAPTURECHANGED:
            thumbDrag_.Lost();
            return 0;
        case WM_MOUSELEAVE:
            if (scrollbarHover_) {
                scrollbarHover_ = false;
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        case WM_GETOBJECT:
            if (const auto answer = accessible_.Answer(hwnd_, wParam, lParam)) return *answer;
            return BufferedWindow::HandleMessage(message, wParam, lParam);
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

void ProgressList::OnScaleChanged() {
    scroll_.SetScale(scale_);
    rowPainter_.SetScale(scale_);
    SetTextScale(textScale_);
}

void ProgressList::OnSize(int width, int height) {
    buffer_.Resize(hwnd_, width, height);
    scroll_.SetClientSize(width, height);
    scroll_.SetRowCount(static_cast<int>(rows_.size()));
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProgressList::OnVScroll(WORD code, WORD thumbPosition) {
    const int position = scroll_.position();
    switch (code) {
        case SB_LINEUP:
            ScrollTo(position - 1);
            break;
        case SB_LINEDOWN:
            ScrollTo(position + 1);
            break;
        case SB_PAGEUP:
            ScrollTo(position - scroll_.visibleRows());
            break;
        case SB_PAGEDOWN:
            ScrollTo(position + scroll_.visibleRows());
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            ScrollTo(thumbPosition);
            break;
        default:
            break;
    }
}

void ProgressList::OnLButtonDown(int x, int y) {
    if (!scrollbarEnabled_ || !scroll_.InStrip(x, y)) return;
    const auto thumb = scroll_.ThumbRect();
    if (!thumb) return;
    if (y >= thumb->top && y < thumb->bottom && x >= thumb->left && x < thumb->right) {
        dragStartY_ = y;
        dragStartPosition_ = scroll_.position();
        thumbDrag_.Begin(hwnd_);
        return;
    }
    OnVScroll(y >= thumb->top ? SB_PAGEDOWN : SB_PAGEUP, 0);
}

void ProgressList::OnMouseMove(int x, int y) {
    if (thumbDrag_.held()) {
        ScrollTo(scroll_.DragTarget(dragStartPosition_, y - dragStartY_));
        return;
    }
    const bool hover = scrollbarEnabled_ && scroll_.InStrip(x, y);
    if (hover == scrollbarHover_) return;
    scrollbarHover_ = hover;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (hover) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&track);
    }
}

void ProgressList::Paint(HDC dc, int width, int height) {
    const RECT client{0, 0, width, height};
    FillSolidRect(dc, client, ColorWindowBg);
    {
        UniqueBrush frame(CreateSolidBrush(ColorListFrame));
        FrameRect(dc, &client, frame.get());
    }
    if (rows_.empty()) {
        PaintEmpty(dc, client);
    } else {
        for (int i = scroll_.position(); i < scroll_.drawnEnd(); ++i) {
            const RECT row = DrawnRowRect(i, width);
            if (RectVisible(dc, &row)) rowPainter_.Paint(dc, rows_[static_cast<size_t>(i)], row);
        }
    }
    if (ShowsScrollbar()) PaintScrollbar(dc, width, height);
}

// "Unknown" as large as fits, and the reason in the dialogs' text size under it; the two centred as one block.
void ProgressList::PaintEmpty(HDC dc, const RECT& client) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorEmptyText);
    UniqueFont reasonFont = CreateWidgetFont(scale_.px(kTextHeight));
    const int reasonLeft = client.left + scale_.px(kReasonMargin);
    const int reasonRight = client.right - scale_.px(kReasonMargin);
    int reasonHeight = 0;
    if (!emptyReason_.empty()) {
        ScopedSelect select(dc, reasonFont.get());
        RECT measured{reasonLeft, 0, reasonRight, 0};  // only its height: measuring also narrows it
        DrawTextW(dc, emptyReason_.c_str(), -1, &measured, kReasonFormat | DT_CALCRECT);
        reasonHeight = measured.bottom - measured.top;
    }
    const auto messageSize = [&](int fontHeight) {
        UniqueFont font = CreateWidgetFont(fontHeight);
        ScopedSelect select(dc, font.get());
        SIZE size{};
        GetTextExtentPoint32W(dc, kEmptyMessage, static_cast<int>(std::size(kEmptyMessage)) - 1, &size);
        return size;
    };
    const int height =
        LargestFittingHeight(scale_.px(kSmallestEmptyFont), scale_.px(kLargestEmptyFont), [&](int candidate) {
            const SIZE size = messageSize(candidate);
            return size.cx <= client.right - client.left && size.cy + reasonHeight <= client.bottom - client.top;
        });
    const int messageHeight = messageSize(height).cy;
    const int top = client.top + (client.bottom - client.top - messageHeight - reasonHeight) / 2;

    UniqueFont font = CreateWidgetFont(height);
    ScopedSelect select(dc, font.get());
    RECT message{client.left, top, client.right, top + messageHeight};
    DrawTextW(dc, kEmptyMessage, -1, &message, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (emptyReason_.empty()) return;
    ScopedSelect selectReason(dc, reasonFont.get());
    RECT below{reasonLeft, message.bottom, reasonRight, message.bottom + reasonHeight};
    DrawTextW(dc, emptyReason_.c_str(), -1, &below, kReasonFormat);
}

void ProgressList::PaintScrollbar(HDC dc, int width, int height) {
    FillSolidRect(dc, RECT{width - scroll_.stripWidth(), 0, width, height}, ColorScrollStrip);
    const auto thumb = scroll_.ThumbRect();
    if (!thumb) return;
    const Color color = thumbDrag_.held() ? ColorScrollThumbDragged
                        : scrollbarHover_ ? ColorScrollThumbHover
                                          : ColorScrollThumb;
    FillSolidRect(dc, RECT{thumb->left, thumb->top, thumb->right, thumb->bottom}, color);
}

std::wstring ProgressList::AccessibleName(int child) const {
    if (child == CHILDID_SELF) return accessibleName_;
    return Utf8ToWide(ChannelRowSpokenText(rows_[static_cast<size_t>(child - 1)]));
}

long ProgressList::AccessibleRole(int child) const {
    return child == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM;
}

long ProgressList::AccessibleState(int child) const {
    if (child == CHILDID_SELF) return STATE_SYSTEM_READONLY;
    const int index = child - 1;
    const bool shown = index >= scroll_.position() && index < scroll_.drawnEnd();
    return STATE_SYSTEM_READONLY | (shown ? 0 : STATE_SYSTEM_OFFSCREEN);
}

// What the empty list says: "Unknown", and the reason on a line of its own when there is one.
std::wstring ProgressList::AccessibleValue(int child) const {
    if (child != CHILDID_SELF || !rows_.empty()) return {};
    return emptyReason_.empty() ? kEmptyMessage : kEmptyMessage + (L"\n" + emptyReason_);
}

RECT ProgressList::AccessibleChildRect(int child) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return DrawnRowRect(child - 1, client.right);
}
