#include "MenuTier_win.h"

#include <oleacc.h>

#include "DarkPopupMenu_win.h"
#include "ExternalNames.h"
#include "KeyboardNavigation.h"
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
            const std::wstring shown = WithoutAccessMarks(item.text);
            SIZE size{};
            GetTextExtentPoint32W(screen.get(), shown.c_str(), static_cast<int>(shown.size()), &size);
            row.textWidth = size.cx;
        }
        rows.push_back(row);
    }
    return rows;
}

MenuTier::MenuTier(DarkPopupMenu& menu, int level) : menu_(menu), level_(level) {}

MenuTier::~MenuTier() {
    Destroy();
}

bool MenuTier::Open(int x, int y, const std::vector<MenuItem>& items, bool opensLeft) {
    items_ = items;
    rows_ = MeasureMenuRows(items_, menu_.font());
    selectable_.clear();
    for (const MenuRow& row : rows_) selectable_.push_back(!row.separator && row.enabled);
    SetScale(menu_.scale());
    layout_ = LayOutTier(rows_, scale_);
    const TierPlacement placed = PlaceTier(x, y, layout_.width, layout_.height, opensLeft, WorkAreaNear(x, y), scale_);
    opensLeft_ = placed.opensLeft;
    return CreateBound(kTierClass, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, placed.left, placed.top,
                       layout_.width, layout_.height, menu_.anchor(), 0);
}

void MenuTier::ShowOnTop() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void MenuTier::Select(int index) {
    if (index == selected_) return;
    selected_ = index;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (index >= 0) NotifyWinEvent(EVENT_OBJECT_FOCUS, hwnd_, OBJID_CLIENT, index + 1);
}

int MenuTier::StepFrom(int from, int step) const {
    return StepSelection(selectable_, from, step);
}

int MenuTier::IndexOfAccessKey(wchar_t key) const {
    std::vector<std::wstring> texts;
    for (const MenuItem& item : items_) texts.push_back(item.text);
    return AccessKeyIndex(texts, selectable_, key);
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
            if (level_ + 1 >= menu_.tierCount()) Select(-1);
            return 0;
        case WM_GETOBJECT:
            if (const auto answer = accessible_.Answer(hwnd_, wParam, lParam)) return *answer;
            return BufferedWindow::HandleMessage(message, wParam, lParam);
        case WM_DESTROY:
            NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, hwnd_, OBJID_CLIENT, CHILDID_SELF);
            return 0;
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

void MenuTier::OnMouseMove(int x, int y) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
    TrackMouseEvent(&track);
    const int index = HitTest(x, y);
    if (index == selected_) return;
    const int previous = selected_;
    Select(index);
    if (index >= 0) {
        menu_.OpenSubmenu(*this, index);
    } else if (previous >= 0) {
        menu_.CloseTiersFrom(level_ + 1);
    }
}

void MenuTier::OnLeftButtonUp(int x, int y) {
    const int index = HitTest(x, y);
    if (index < 0 || items_[index].hasSubmenu) return;
    menu_.Choose(items_[index].id);
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
        if (static_cast<int>(i) == selected_) {
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
        // As in the system's menus, access keys are underlined once the keyboard is in use.
        DrawTextW(dc, item.text.c_str(), -1, &text,
                  DT_VCENTER | DT_SINGLELINE | (menu_.showsAccessKeys() ? 0 : DT_HIDEPREFIX));
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

std::wstring MenuTier::AccessibleName(int child) const {
    return child == CHILDID_SELF ? std::wstring() : WithoutAccessMarks(items_[child - 1].text);
}

long MenuTier::AccessibleRole(int child) const {
    if (child == CHILDID_SELF) return ROLE_SYSTEM_MENUPOPUP;
    return items_[child - 1].separator ? ROLE_SYSTEM_SEPARATOR : ROLE_SYSTEM_MENUITEM;
}

long MenuTier::AccessibleState(int child) const {
    if (child == CHILDID_SELF) return 0;
    const int index = child - 1;
    const MenuItem& item = items_[index];
    long state = selectable_[index] ? STATE_SYSTEM_FOCUSABLE : 0;
    if (!item.enabled) state |= STATE_SYSTEM_UNAVAILABLE;
    if (item.checked) state |= STATE_SYSTEM_CHECKED;
    if (item.hasSubmenu) state |= STATE_SYSTEM_HASPOPUP;
    if (index == selected_) state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
    return state;
}

RECT MenuTier::AccessibleChildRect(int child) const {
    const ScreenRect& r = layout_.rows[child - 1].item;
    return {r.left, r.top, r.right, r.bottom};
}
