#include "views/ComboBox_win.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

#include "ExternalNames.h"
#include "base/WideText.h"
#include "ui/FocusRing_win.h"
#include "ui/ForceForeground_win.h"
#include "ui/Painter_win.h"
#include "ui/ScopedGdi_win.h"
#include "ui/Theme.h"
#include "ui/VectorIcons.h"

namespace {

const Window::WindowClass kComboClass{ExternalNames::CLASS_COMBO, CS_OWNDC};

constexpr int kTextLeft = 10;
constexpr int kListTextLeft = 8;
// Around the watch bell inside its square; the icon keeps 2 px more of its own.
constexpr int kBellInset = 4;
constexpr UINT kTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;

ScreenRect workAreaFor(const RECT& control) {
    RECT area{};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromRect(&control, MONITOR_DEFAULTTONEAREST), &info)) {
        area = info.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    return {area.left, area.top, area.right, area.bottom};
}

void drawItemText(HDC dc, const std::string& utf8, Color color, RECT bounds) {
    SetTextColor(dc, color);
    DrawTextW(dc, Utf8ToWide(utf8).c_str(), -1, &bounds, kTextFormat);
}

}  // namespace

bool ComboBox::Create(HWND parent, int x, int y, int width, int height, unsigned id) {
    parent_ = parent;
    id_ = id;
    return CreateBound(kComboClass, 0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, x, y, width, height,
                       parent, id);
}

int ComboBox::AddItem(const std::string& text, Color color, void* data, int32_t freshCount, int32_t totalCount,
                      bool watched) {
    const int index = list_.Add({text, color, data, freshCount, totalCount, watched});
    Invalidate();
    return index;
}

void ComboBox::Clear() {
    list_.Clear();
    ClosePopup();
    Invalidate();
}

void ComboBox::SetCurSel(int index) {
    if (!list_.SetCurSel(index)) return;
    Invalidate();
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

void ComboBox::SetItemStatus(int index, Color color, int32_t freshCount, int32_t totalCount) {
    if (!list_.SetItemStatus(index, color, freshCount, totalCount)) return;
    if (popupOpen_) InvalidateRect(popup_.hwnd(), nullptr, FALSE);
    Invalidate();
}

void ComboBox::SetItemWatched(int index, bool watched) {
    if (!list_.SetWatched(index, watched)) return;
    if (popupOpen_) InvalidateRect(popup_.hwnd(), nullptr, FALSE);
    NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, index + 1);
}

void ComboBox::Invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ComboBox::SetBounds(int x, int y, int width, int height) {
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOCOPYBITS);
}

void ComboBox::OpenPopup() {
    if (OpenList()) ForceForeground(popup_.hwnd());
}

bool ComboBox::OpenList() {
    if (popupOpen_ || list_.count() == 0) return false;
    // Taken before the list, a top-level window, is created and activated.
    focusBeforeList_ = GetFocus();
    RECT control{};
    GetWindowRect(hwnd_, &control);
    const ScreenRect place = PlaceDropDown({control.left, control.top, control.right, control.bottom},
                                           list_.count() * ItemHeight(), workAreaFor(control));
    if (!popup_.Create(place.left, place.top, place.width(), place.height())) return false;
    list_.ResetHot();
    popupOpen_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    SetCapture(popup_.hwnd());
    SetForegroundWindow(popup_.hwnd());
    SetFocus(popup_.hwnd());
    Notify(CBN_DROPDOWN);
    return true;
}

void ComboBox::ClosePopup() {
    if (!popupOpen_) return;
    // Cleared first: the list's focus loss while it is destroyed then finds it closed already.
    popupOpen_ = false;
    // A list closed by its own keys or a choice hands the keyboard back to where it was (the box itself
    // when it was opened from the keyboard); one closed because the focus went elsewhere leaves it there.
    const bool listHadFocus = GetFocus() == popup_.hwnd();
    ReleaseCapture();
    popup_.Destroy();
    if (listHadFocus && focusBeforeList_ && IsWindow(focusBeforeList_)) SetFocus(focusBeforeList_);
    Notify(CBN_CLOSEUP);
    Invalidate();
}

void ComboBox::Choose(int index) {
    SetCurSel(index);
    Notify(CBN_SELCHANGE);
    ClosePopup();
}

void ComboBox::ToggleHotWatch() {
    if (list_.valid(list_.hot())) Notify(kNotifyWatchToggle);
}

void ComboBox::Notify(WORD code) {
    SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, code), reinterpret_cast<LPARAM>(hwnd_));
}

LRESULT ComboBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = AnswerFocusableControl(hwnd_, accessible_, message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_LBUTTONDOWN:
            if (popupOpen_) {
                ClosePopup();
            } else {
                OpenPopup();
            }
            return 0;
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
                trackingLeave_ = TrackMouseEvent(&track) != FALSE;
            }
            if (!hover_) {
                hover_ = true;
                Invalidate();
            }
            return 0;
        case WM_MOUSELEAVE:
            hover_ = trackingLeave_ = false;
            Invalidate();
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (OnKey(message, wParam)) return 0;
            return SendMessageW(parent_, message, wParam, lParam);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SIZE:
            buffer_.Resize(hwnd_, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        default:
            return BufferedWindow::HandleMessage(message, wParam, lParam);
    }
}

bool ComboBox::OnKey(UINT message, WPARAM key) {
    const bool opens = message == WM_SYSKEYDOWN ? key == VK_DOWN : key == VK_F4;
    const bool steps = message == WM_KEYDOWN && (key == VK_UP || key == VK_DOWN);
    if (!opens && !steps) return false;
    RevealFocusRings(hwnd_);
    if (opens) {
        OpenPopup();
    } else if (list_.count() > 0) {
        const int next = std::clamp(list_.selected() + (key == VK_UP ? -1 : 1), 0, list_.count() - 1);
        if (next != list_.selected()) {
            SetCurSel(next);
            Notify(CBN_SELCHANGE);
        }
    }
    return true;
}

std::wstring ComboBox::AccessibleName(int child) const {
    return child > 0 ? Utf8ToWide(list_.items()[static_cast<size_t>(child - 1)].text) : accessibleName_;
}

long ComboBox::AccessibleRole(int child) const {
    return child > 0 ? ROLE_SYSTEM_LISTITEM : ROLE_SYSTEM_COMBOBOX;
}

long ComboBox::AccessibleState(int child) const {
    if (child > 0) {
        return STATE_SYSTEM_SELECTABLE | (child - 1 == list_.selected() ? STATE_SYSTEM_SELECTED : 0) |
               (list_.items()[static_cast<size_t>(child - 1)].watched ? STATE_SYSTEM_CHECKED : 0) |
               (popupOpen_ ? 0 : STATE_SYSTEM_INVISIBLE);
    }
    return FocusableState(hwnd_) | STATE_SYSTEM_HASPOPUP |
           (popupOpen_ ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
}

std::wstring ComboBox::AccessibleValue(int child) const {
    return child == CHILDID_SELF && list_.valid(list_.selected())
               ? Utf8ToWide(list_.items()[static_cast<size_t>(list_.selected())].text)
               : std::wstring();
}

// The rows lie in the open list, a window of its own: measured from this control's client area.
RECT ComboBox::AccessibleChildRect(int child) const {
    if (!popupOpen_) return {};
    POINT origin{0, 0};
    ClientToScreen(popup_.hwnd(), &origin);
    ScreenToClient(hwnd_, &origin);
    RECT client{};
    GetClientRect(popup_.hwnd(), &client);
    const int top = origin.y + (child - 1) * ItemHeight();
    return {origin.x, top, origin.x + client.right, top + ItemHeight()};
}

void ComboBox::Paint(HDC dc, int width, int height) {
    const RECT field{0, 0, width, height};
    const Color face = hover_ ? ColorFieldFaceHover : ColorFieldFace;
    // The corners outside the rounded field show the window behind it.
    FillSolidRect(dc, field, ColorWindowBg);
    const int radius = scale_.px(ControlCornerRadius());
    FillRoundRectGradient(dc, field, radius, AdjustColor(face, hover_ ? 10 : 6), AdjustColor(face, -6));
    StrokeRoundRect(dc, field, radius, hover_ ? ColorAccent : ColorBorder, scale_.px(1.0f));
    RECT inner = field;
    InflateRect(&inner, -1, -1);
    StrokeRoundRect(dc, inner, radius - 1, AdjustColor(face, 18), scale_.px(1.0f));
    if (FocusRingShown(hwnd_)) PaintFocusRing(dc, field, radius, scale_);
    DrawVectorIcon(dc, VectorIconChevronDown, RECT{width - scale_.px(22), 0, width - scale_.px(6), height},
                   ColorChevron, scale_.px(2.0f));
    if (list_.valid(list_.selected())) {
        const ComboItem& item = list_.items()[static_cast<size_t>(list_.selected())];
        UniqueFont font = CreateWidgetFont(scale_.px(kTextHeight));
        ScopedSelect select(dc, font.get());
        SetBkMode(dc, TRANSPARENT);
        drawItemText(dc, item.text, item.color, RECT{scale_.px(kTextLeft), 0, width - scale_.px(28), height});
    }
}

void ComboBox::PaintList(HDC dc, int width, int height) const {
    const RECT all{0, 0, width, height};
    FillSolidRect(dc, all, ColorListFace);
    StrokeRoundRect(dc, all, scale_.px(ControlCornerRadius()), ColorBorder, scale_.px(1.0f));
    UniqueFont font = CreateWidgetFont(scale_.px(kTextHeight));
    const int itemHeight = ItemHeight();
    ScopedSelect select(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < list_.count(); ++i) {
        const RECT row{0, i * itemHeight, width, (i + 1) * itemHeight};
        if (i == list_.hot()) {
            FillSolidRect(dc, row, BlendColor(ColorHighlight, ColorWindowBg, 170));
        } else if (i == list_.selected()) {
            FillSolidRect(dc, row, BlendColor(ColorHighlight, ColorWindowBg, 210));
        }
        const ComboItem& item = list_.items()[static_cast<size_t>(i)];
        const ScreenRect bell = WatchBellRect(i, width, itemHeight);
        drawItemText(dc, ComboItemLabel(item), item.color,
                     RECT{row.left + scale_.px(kListTextLeft), row.top, bell.left, row.bottom});
        if (item.watched || (i == list_.hot() && list_.hotOnBell())) {
            const int inset = scale_.px(kBellInset);
            DrawVectorIcon(dc, VectorIconBell,
                           RECT{bell.left + inset, bell.top + inset, bell.right - inset, bell.bottom - inset},
                           ColorIcon, scale_.px(1.5f), item.watched);
        }
    }
}
