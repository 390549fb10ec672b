#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "HotkeyRebind.h"
#include "SettingsKeeper_win.h"
#include "ui/CustomButton_win.h"

// The three global hotkeys: registration for the overlay's window, the texts of their buttons, and
// rebinding one from its button (what each key pressed then means is HotkeyRebind.h's rule).
class Hotkeys {
public:
    enum Action : int { ClickThrough = 0, Visibility = 1, BossMenu = 2, kCount = 3 };
    // The hotkey id registered for an action: 1, 2, 3.
    static WPARAM IdOf(Action action) { return static_cast<WPARAM>(action) + 1; }

    Hotkeys(SettingsKeeper& settings, CustomButton& clickThrough, CustomButton& visibility, CustomButton& bossMenu)
        : settings_(settings), buttons_{&clickThrough, &visibility, &bossMenu} {}

    void Attach(HWND window) { window_ = window; }
    // (Re)registers all three; each that fails is named in a notice and marked on its button.
    void Register();
    void Unregister();
    // Whether the action's hotkey was taken at the last registration.
    bool registered(Action action) const { return registered_[action]; }
    void UpdateButtonTexts();
    // The combination as the buttons and the help show it, e.g. "Ctrl+Shift+B".
    std::wstring Text(Action action) const;

    // Rebinding sees the window's messages before the window does; true when it consumed one. A click on a hotkey
    // button starts rebinding that action (ending any other); while rebinding, key presses and the registered
    // hotkeys are its own, and a click, a slider step, another boss or the focus leaving (other than to its
    // notice) end it.
    bool Intercept(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void StartCapture(Action action);
    void EndCapture();
    bool capturing() const { return capturing_ >= 0; }
    // A key press while rebinding; false when nothing is being rebound (the key is not consumed).
    bool OnKeyDown(WPARAM key);
    // The registered hotkey `id` pressed while rebinding: that action's combination, judged as a key press.
    void OnHotkeyWhileCapturing(WPARAM id);
    void Apply(const RebindDecision& decision);
    HotkeyCombo Combo(Action action) const;
    std::array<HotkeyCombo, 2> OthersThan(Action action) const;
    void ShowNotice(const std::wstring& message, const std::wstring& title, bool warning);
    void ShowPrompts();

    SettingsKeeper& settings_;
    CustomButton* buttons_[kCount];
    HWND window_ = nullptr;
    int capturing_ = -1;  // the action being rebound, -1 for none
    bool noticeOpen_ = false;
    bool registered_[kCount] = {true, true, true};
};
