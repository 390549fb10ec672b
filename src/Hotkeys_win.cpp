#include "Hotkeys_win.h"

#include "HotkeyText.h"
#include "HotkeyText_win.h"
#include "ui/Notification_win.h"

namespace {

const wchar_t* const kLabels[] = {L"Click-through: ", L"Show/Hide: ", L"Boss menu: "};
const wchar_t* const kNames[] = {L"click-through", L"visibility", L"boss menu"};
constexpr wchar_t kPrompt[] = L"[Press modifier + key...]";

// Where each action's key and modifiers live in the settings.
const struct {
    int32_t Settings::*key;
    uint32_t Settings::*modifiers;
} kBindings[] = {
    {&Settings::ClickThrough, &Settings::ClickThroughMods},
    {&Settings::Visibility, &Settings::VisibilityMods},
    {&Settings::BossMenu, &Settings::BossMenuMods},
};

bool isDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

}  // namespace

std::wstring Hotkeys::Text(Action action) const {
    return FormatHotkey(settings_.*kBindings[action].modifiers, settings_.*kBindings[action].key, SystemKeyName);
}

void Hotkeys::Register() {
    Unregister();
    for (int i = 0; i < kCount; ++i) {
        const auto action = static_cast<Action>(i);
        registered_[i] =
            RegisterHotKey(window_, static_cast<int>(IdOf(action)), settings_.*kBindings[i].modifiers | MOD_NOREPEAT,
                           static_cast<UINT>(settings_.*kBindings[i].key)) != FALSE;
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
    if (key == VK_ESCAPE) {
        EndCapture();
        return true;
    }
    const bool modifierKey = (key >= VK_SHIFT && key <= VK_MENU) || (key >= VK_LSHIFT && key <= VK_RMENU);
    if (modifierKey) return true;
    uint32_t modifiers = 0;
    if (isDown(VK_CONTROL)) modifiers |= kModControl;
    if (isDown(VK_SHIFT)) modifiers |= kModShift;
    if (isDown(VK_MENU)) modifiers |= kModAlt;
    if (modifiers == 0) {
        ShowNotice(L"Please press at least one modifier key (Ctrl, Shift, or Alt) along with a key.",
                   L"Modifier Required", false);
        return true;
    }
    const auto action = static_cast<Action>(capturing_);
    capturing_ = -1;
    settings_.*kBindings[action].key = static_cast<int32_t>(key);
    settings_.*kBindings[action].modifiers = modifiers;
    settings_.Save();
    Register();
    return true;
}

void Hotkeys::OnHotkeyWhileCapturing() {
    ShowNotice(
        L"This key combination is already assigned to another action.\n\nPlease choose a different key "
        L"combination.\n(Press ESC to cancel)",
        L"Duplicate Hotkey", true);
}

void Hotkeys::ShowNotice(const std::wstring& message, const std::wstring& title, bool warning) {
    // A notice asked for while one is up only brings that one forward; the guard and the focus stay with it
    // until it closes, or the window's next focus change would end the rebinding behind its back.
    const bool first = !noticeOpen_;
    noticeOpen_ = true;
    Notification::Show(window_, message, title, warning ? NotificationKind::Warning : NotificationKind::Info, 0);
    if (!first) return;
    noticeOpen_ = false;
    ShowPrompts();
    // Rebinding goes on: the next key must come to the window again, wherever the notice left the focus.
    if (capturing()) {
        SetForegroundWindow(window_);
        SetFocus(window_);
    }
}
