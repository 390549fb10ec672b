#include "DarkPopupMenu_win.h"

#include "ForceForeground_win.h"
#include "Painter_win.h"
#include "Theme.h"

namespace {

constexpr UINT_PTR kWatchdogTimer = 100;
constexpr UINT kWatchdogPeriodMs = 100;

bool isButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_NCLBUTTONDOWN ||
           message == WM_NCRBUTTONDOWN;
}

}  // namespace

DarkPopupMenu* DarkPopupMenu::active_ = nullptr;

DarkPopupMenu::DarkPopupMenu(HWND owner, DpiScale scale)
    : owner_(owner),
      scale_(scale),
      font_(CreateWidgetFont(scale.px(kTextHeight))),
      separatorPen_(CreatePen(PS_SOLID, scale.px(1), ColorButtonHoverFace)) {}

DarkPopupMenu::~DarkPopupMenu() {
    CloseTiersFrom(0);
    if (active_ == this) active_ = nullptr;
}

void DarkPopupMenu::CloseActive() {
    if (active_) active_->CloseTiersFrom(0);
}

void DarkPopupMenu::Show(HWND owner, int x, int y, const std::vector<MenuItem>& items) {
    // The older menu's loop finds no tiers once control returns to it, and ends.
    CloseActive();
    if (!Window::RegisterOnce(MenuTier::kTierClass)) return;
    DarkPopupMenu menu(owner, ScaleNear(x, y));
    active_ = &menu;
    // Never shown: it owns the tiers so that they stay out of the taskbar and above the owner.
    menu.anchor_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, MenuTier::kTierClass.name, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr));
    auto root = std::make_unique<MenuTier>(menu, 0);
    if (!root->Open(x, y, items, RootOpensLeft(x, WorkAreaNear(x, y)))) return;
    root->ShowOnTop();
    const HWND rootWindow = root->hwnd();
    menu.tiers_.push_back(std::move(root));
    ForceForeground(rootWindow);
    SetTimer(rootWindow, kWatchdogTimer, kWatchdogPeriodMs, nullptr);
    menu.RunLoop();
}

void DarkPopupMenu::RunLoop() {
    bool hadFocus = false;
    MSG msg{};
    while (!tiers_.empty()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (isButtonDown(msg.message) && !InAnyTier(msg.pt)) {
            CloseTiersFrom(0);
            // The click still reaches what was clicked.
            PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            return;
        }
        if (msg.message == WM_TIMER && msg.wParam == kWatchdogTimer) {
            // Pull the menu to the front until it has been there once; from then on losing the
            // foreground closes it.
            if (IsMenuWindow(GetForegroundWindow())) {
                hadFocus = true;
            } else if (hadFocus) {
                CloseTiersFrom(0);
                return;
            } else {
                ForceForeground(tiers_.front()->hwnd());
            }
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool DarkPopupMenu::IsMenuWindow(HWND hwnd) const {
    if (hwnd && hwnd == anchor_.get()) return true;
    for (const auto& tier : tiers_) {
        if (tier->hwnd() == hwnd) return true;
    }
    return false;
}

bool DarkPopupMenu::InAnyTier(POINT screenPoint) const {
    for (const auto& tier : tiers_) {
        RECT r{};
        if (GetWindowRect(tier->hwnd(), &r) && PtInRect(&r, screenPoint)) return true;
    }
    return false;
}

void DarkPopupMenu::OpenSubmenu(MenuTier& tier, int index) {
    CloseTiersFrom(tier.level() + 1);
    const MenuItem& entry = tier.item(index);
    if (!entry.hasSubmenu || !entry.enabled) return;
    const ScreenRect& row = tier.rowRect(index);
    POINT topRight{row.right, row.top};
    POINT topLeft{row.left, row.top};
    ClientToScreen(tier.hwnd(), &topRight);
    ClientToScreen(tier.hwnd(), &topLeft);
    const int width = LayOutTier(MeasureMenuRows(entry.children, font_.get()), scale_).width;
    const bool leftwards =
        SubmenuOpensLeft(tier.opensLeft(), topLeft.x, topRight.x, width, WorkAreaNear(topRight.x, topRight.y));
    auto child = std::make_unique<MenuTier>(*this, tier.level() + 1);
    if (!child->Open(leftwards ? topLeft.x : topRight.x, topRight.y, entry.children, leftwards)) return;
    child->ShowOnTop();
    tiers_.push_back(std::move(child));
}

void DarkPopupMenu::CloseTiersFrom(int level) {
    if (level < 0 || level >= tierCount()) return;
    tiers_.erase(tiers_.begin() + level, tiers_.end());
}
