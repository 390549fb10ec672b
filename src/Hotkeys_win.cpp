#include "Hotkeys_win.h"

#include "HotkeyText.h"
#include "HotkeyText_win.h"
#include "ui/Notification_win.h"

namespace {

const wchar_t* const kLabels[] = {L"Click-through: ", L"Show/Hide: ", L"Boss menu: "};
const wchar_t* const kNames[] = {L"click-through", L"visibility", L"boss menu"};
constexpr wchar_t kPrompt[] = L"[Press modifier + key...]";

bool isDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

std::wstring Hotkeys::Text(Action action) const {
    const HotkeyCombo combo = Combo(action);
    return FormatHotkey(combo.modifiers, combo.key, SystemKeyName);
}

void Hotkeys::Register() {
    Unregister();
    for (int i = 0; i < kCount; ++i) {
        const auto action = static_cast<Action>(i);
        registered_[i] = RegisterHotKey(window_, static_cast<int>(IdOf(action)),
                                        settings_.values().*kHotkeyFields[i].modifiers | MOD_NOREPEAT,
                                        static_cast<UINT>(settings_.values().*kHotkeyFields[i].key)) != FALSE;
    }
    UpdateButtonTexts();
    for (int i = 0; i < kCount; ++i) {
        if (registered_[i]) continue;
        // Named, so that the user knows which binding to change.
        ShowNotice(std::wstring(L"Failed to register ") + kNames[i] + L" hotkey (" + Text(static_cast<Action>(i)) +
                       L"). It may be in use by another application.",
                   L"Warning", true);
    }
}

void Hotkeys::Unregister() {
    for (int i = 0; i < kCount; ++i) UnregisterHotKey(window_, static_cast<int>(IdOf(static_cast<Action>(i))));
}

void Hotkeys::UpdateButtonTexts() {
    for (int i = 0; i < kCount; ++i) {
        buttons_[i]->SetText(kLabels[i] + Text(static_cast<Action>(i)) + (registered_[i] ? L"" : L" (not active)"));
    }
}

bool Hotkeys::Intercept(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // The tray menu's commands come from no window.
            for (int i = 0; lParam && i < kCount; ++i) {
                if (reinterpret_cast<HWND>(lParam) != buttons_[i]->hwnd()) continue;
                if (HIWORD(wParam) == BN_CLICKED) StartCapture(static_cast<Action>(i));
                return true;
            }
            if (HIWORD(wParam) == CBN_SELCHANGE) EndCapture();
            return false;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return OnKeyDown(wParam);
        case WM_HOTKEY:
            if (!capturing()) return false;
            OnHotkeyWhileCapturing(wParam);
            return true;
        case WM_KILLFOCUS:
            if (capturing() && !noticeOpen_) EndCapture();
            return false;
        case WM_LBUTTONDOWN:
            if (capturing()) EndCapture();
            return false;
        case WM_HSCROLL:
            EndCapture();
            return false;
        default:
            return false;
    }
}

void Hotkeys::StartCapture(Action action) {
    EndCapture();
    capturing_ = action;
    ShowPrompts();
    // The key presses that follow come to the window, not to the button that was clicked.
    SetFocus(window_);
}

void Hotkeys::EndCapture() {
    capturing_ = -1;
    UpdateButtonTexts();
}

void Hotkeys::ShowPrompts() {
    if (capturing()) buttons_[capturing_]->SetText(std::wstring(kLabels[capturing_]) + kPrompt);
}

bool Hotkeys::OnKeyDown(WPARAM key) {
    if (!capturing()) return false;
    uint32_t modifiers = 0;
    if (isDown(VK_CONTROL)) modifiers |= kModControl;
    if (isDown(VK_SHIFT)) modifiers |= kModShift;
    if (isDown(VK_MENU)) modifiers |= kModAlt;
    Apply(DecideRebindKey(static_cast<int32_t>(key), modifiers, OthersThan(static_cast<Action>(capturing_))));
    return true;
}

void Hotkeys::OnHotkeyWhileCapturing(WPARAM id) {
    if (id < IdOf(ClickThrough) || id > IdOf(BossMenu)) return;
    // The system sends a registered combination as WM_HOTKEY instead of a key press; it is judged the same.
    const HotkeyCombo pressed = Combo(static_cast<Action>(id - 1));
    Apply(DecideRebindKey(pressed.key, pressed.modifiers, OthersThan(static_cast<Action>(capturing_))));
}

void Hotkeys::Apply(const RebindDecision& decision) {
    switch (decision.outcome) {
        case RebindOutcome::Ignore:
            return;
        case RebindOutcome::Cancel:
            EndCapture();
            return;
        case RebindOutcome::NeedsModifier:
            ShowNotice(L"Please press at least one modifier key (Ctrl, Shift, or Alt) along with a key.",
                       L"Modifier Required", false);
            return;
        case RebindOutcome::Duplicate:
            ShowNotice(
                L"This key combination is already assigned to another action.\n\nPlease choose a different key "
                L"combination.\n(Press ESC to cancel)",
                L"Duplicate Hotkey", true);
            return;
        case RebindOutcome::Bind: {
            const int action = capturing_;
            capturing_ = -1;
            settings_.Change([&](Settings& settings) {
                settings.*kHotkeyFields[action].key = decision.combo.key;
                settings.*kHotkeyFields[action].modifiers = decision.combo.modifiers;
            });
            Register();
            return;
        }
    }
}

HotkeyCombo Hotkeys::Combo(Action action) const {
    return {settings_.values().*kHotkeyFields[action].key, settings_.values().*kHotkeyFields[action].modifiers};
}

std::array<HotkeyCombo, 2> Hotkeys::OthersThan(Action action) const {
    std::array<HotkeyCombo, 2> others;
    size_t next = 0;
    for (int i = 0; i < kCount; ++i) {
        if (i != action) others[next++] = Combo(static_cast<Action>(i));
    }
    return others;
}

void Hotkeys::ShowNotice(const std::wstring& message, const std::wstring& title, bool warning) {
    // A notice asked for while one is up only brings that one forward; the guard and the focus stay with it
    // until it closes, or the window's next focus change would end the rebinding behind its back.
    const bool first = !noticeOpen_;
    noticeOpen_ = true;
    Notification::Show(window_, message, title, warning ? NotificationKind::Warning : NotificationKind::Info);
    if (!first) return;
    noticeOpen_ = false;
    ShowPrompts();
    // Rebinding goes on: the next key must come to the window itself.
    if (capturing()) SetFocus(window_);
}
