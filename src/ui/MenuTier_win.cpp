#include "MenuTier_win.h"

#include "DarkPopupMenu_win.h"
#include "ExternalNames.h"
#include "Painter_win.h"
#include "ScopedGdi_win.h"
#include "Theme.h"
#include "VectorIcons.h"

namespace {

constexpr int kSeparatorInset = 8;
constexpr int kSeparatorOffset = 4;
constexpr int kArrowCentre = 14;  // below a row's top
constexpr int kArrowHalfHeight = 4;
constexpr int kArrowBase = 14;  // from the tier's edge
constexpr int kArrowTip = 9;

}  // namespace

const Window::WindowClass MenuTier::kTierClass{ExternalNames::CLASS_MENU_TIER, CS_DROPSHADOW};

ScreenRect WorkAreaNear(int x, int y) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &info)) {
        return ToScreenRect(info.rcWork);
    }
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<MenuRow> MeasureMenuRows(const std::vector<MenuItem>& items, HFONT font) {
    WindowDc screen(nullptr);
    ScopedSelect selectFont(screen.get(), font);
    std::vector<MenuRow> rows;
    for (const MenuItem& item : items) {
        MenuRow row{item.separator, item.enabled, 0};
        if (!item.separator) {
            SIZE size{};
            GetTextExtentPoint32W(screen.get(), item.text.c_str(), static_cast<int>(item.text.size()), &size);
            row.textWidth = size.cx;
        }
        rows.push_back(row);
    }
    return rows;
}

MenuTier::MenuTier(DarkPopupMenu& menu, int level) : menu_(menu), level_(level) {}

bool MenuTier::Open(int x, int y, const std::vector<MenuItem>& items, bool opensLeft) {
    items_ = items;
    rows_ = MeasureMenuRows(items_, menu_.font());
    SetScale(menu_.scale());
    layout_ = LayOutTier(rows_, scale_);
    const TierPlacement placed = PlaceTier(x, y, layout_.width, layout_.height, opensLeft, WorkAreaNear(x, y), scale_);
    opensLeft_ = placed.opensLeft;
    return CreateBound(kTierClass, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, placed.left, placed.top,
                       layout_.width, layout_.height, menu_.anchor(), 0);
}

void MenuTier::ShowOnTop() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

int MenuTier::HitTest(int x, int y) const {
    return HitTestTier(layout_, rows_, x, y);
}

LRESULT MenuTier::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(x, y);
            return 0;
        case WM_LBUTTONDOWN:
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(x, y);
            return 0;
        case WM_MOUSELEAVE:
            // A parent tier keeps its highlighted row while the cursor is in its submenu.
            if (level_ + 1 >= menu_.tierCount()) {
                hoveredIndex_ = -1;
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
            return 0;
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

void MenuTier::OnMouseMove(int x, int y) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&track);
    const int index = HitTest(x, y);
    if (index == hoveredIndex_) return;
    const int previous = hoveredIndex_;
    hoveredIndex_ = index;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (index >= 0) {
        menu_.OpenSubmenu(*this, index);
    } else if (previous >= 0) {
        menu_.CloseTiersFrom(level_ + 1);
    }
}

void MenuTier::OnLeftButtonUp(int x, int y) {
    const int index = HitTest(x, y);
    if (index < 0 || items_[index].hasSubmenu) return;
    // Closing the menu destroys this tier and its items: keep what the choice needs first.
    const unsigned id = items_[index].id;
    const HWND owner = menu_.owner();
    menu_.CloseTiersFrom(0);
    if (id != 0) PostMessageW(owner, WM_COMMAND, id & 0xFFFF, 0);
}

void MenuTier::Paint(HDC dc, int, int) {
    const int width = layout_.width;
    const int height = layout_.height;
    const RECT whole{0, 0, width, height};
    // The window is square: its corners outside the rounded frame take the tier's own background.
    FillSolidRect(dc, whole, ColorWindowBg);
    const int radius = scale_.px(ControlCornerRadius());
    FillRoundRect(dc, whole, radius, ColorWindowBg);
    StrokeRoundRect(dc, whole, radius, ColorFrame, scale_.px(1.0f));
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect selectFont(dc, menu_.font());
    for (size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = items_[i];
        const MenuRowRects& rects = layout_.rows[i];
        const int top = rects.item.top;
        if (item.separator) {
            ScopedSelect selectPen(dc, menu_.separatorPen());
            const int y = top + scale_.px(kSeparatorOffset);
            MoveToEx(dc, scale_.px(kSeparatorInset), y, nullptr);
            LineTo(dc, width - scale_.px(kSeparatorInset), y);
            continue;
        }
        if (static_cast<int>(i) == hoveredIndex_) {
            FillRoundRectGradient(dc, {0, top, width, rects.item.bottom}, radius, AdjustColor(ColorButtonFace, 10),
                                  AdjustColor(ColorButtonFace, -6));
        }
        if (item.checked) {
            const ScreenRect& c = rects.check;
            DrawVectorIcon(dc, VectorIconCheck, {c.left, c.top, c.right, c.bottom},
                           item.enabled ? ColorCheck : ColorTextDisabled, scale_.px(2.0f));
        }
        const Color textColor = item.enabled ? ColorTextSoft : ColorTextDisabled;
        SetTextColor(dc, textColor);
        RECT text{rects.text.left, rects.text.top, rects.text.right, rects.text.bottom};
        DrawTextW(dc, item.text.c_str(), -1, &text, DT_VCENTER | DT_SINGLELINE);
        if (item.hasSubmenu) {
            const int cy = top + scale_.px(kArrowCentre);
            const int half = scale_.px(kArrowHalfHeight);
            const int base = opensLeft_ ? scale_.px(kArrowBase) : width - scale_.px(kArrowBase);
            const int tip = opensLeft_ ? scale_.px(kArrowTip) : width - scale_.px(kArrowTip);
            const POINT arrow[3]{{base, cy - half}, {tip, cy}, {base, cy + half}};
            FillTriangle(dc, arrow, textColor);
        }
    }
}
