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

void DarkPopupMenu::Show(HWND owner, int x, int y, const std::vector<MenuItem>& items, bool fromKeyboard) {
    // The older menu's loop finds no tiers once control returns to it, and ends.
    CloseActive();
    if (!Window::RegisterOnce(MenuTier::kTierClass)) return;
    DarkPopupMenu menu(owner, ScaleNear(x, y));
    menu.showsAccessKeys_ = fromKeyboard;
    active_ = &menu;
    // Never shown: it owns the tiers so that they stay out of the taskbar and above the owner.
    menu.anchor_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, MenuTier::kTierClass.name, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), nullptr));
    auto root = std::make_unique<MenuTier>(menu, 0);
    if (!root->Open(x, y, items, RootOpensLeft(x, WorkAreaNear(x, y)))) return;
    if (fromKeyboard) root->Select(root->StepFrom(-1, 1));
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
        if (tiers_.empty()) {
            // A message sent to this thread while GetMessageW waited (a tray callback) closed the menu: what
            // arrived then is no longer the menu's.
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            return;
        }
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
        if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && OnKey(msg.wParam)) continue;
        if (msg.message == WM_CHAR) {
            OnAccessKey(static_cast<wchar_t>(msg.wParam));
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool DarkPopupMenu::OnKey(WPARAM key) {
    if (tiers_.empty()) return false;
    MenuTier& tier = *tiers_.back();
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            tier.Select(tier.StepFrom(tier.selected(), key == VK_UP ? -1 : 1));
            break;
        case VK_HOME:
        case VK_END:
            tier.Select(tier.StepFrom(-1, key == VK_HOME ? 1 : -1));
            break;
        case VK_RETURN:
        case VK_SPACE:
            Activate(tier, tier.selected());
            break;
        case VK_RIGHT:
            if (tier.selected() >= 0 && tier.item(tier.selected()).hasSubmenu) Activate(tier, tier.selected());
            break;
        case VK_LEFT:
            if (tierCount() > 1) CloseTiersFrom(tierCount() - 1);
            break;
        case VK_ESCAPE:
            CloseTiersFrom(tierCount() - 1);
            break;
        case VK_MENU:
        case VK_F10:
            CloseTiersFrom(0);
            break;
        default:
            return false;
    }
    ShowAccessKeys();
    return true;
}

void DarkPopupMenu::OnAccessKey(wchar_t key) {
    if (tiers_.empty()) return;
    MenuTier& tier = *tiers_.back();
    const int index = tier.IndexOfAccessKey(key);
    if (index < 0) return;
    ShowAccessKeys();
    tier.Select(index);
    Activate(tier, index);
}

void DarkPopupMenu::Activate(MenuTier& tier, int index) {
    if (index < 0) return;
    const MenuItem& entry = tier.item(index);
    if (!entry.hasSubmenu) {
        Choose(entry.id);
        return;
    }
    OpenSubmenu(tier, index);
    if (tierCount() > tier.level() + 1) tiers_.back()->Select(tiers_.back()->StepFrom(-1, 1));
}

void DarkPopupMenu::ShowAccessKeys() {
    if (showsAccessKeys_) return;
    showsAccessKeys_ = true;
    for (const auto& tier : tiers_) InvalidateRect(tier->hwnd(), nullptr, FALSE);
}

void DarkPopupMenu::Choose(unsigned id) {
    CloseTiersFrom(0);
    if (id != 0) PostMessageW(owner_, WM_COMMAND, id & 0xFFFF, 0);
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
    if (level < 0) return;
    // Innermost first, as screen readers expect the submenus to end before the menu they came from.
    while (tierCount() > level) tiers_.pop_back();
}
