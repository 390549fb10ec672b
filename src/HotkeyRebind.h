#pragma once

#include <array>
#include <cstdint>

// What a key pressed while rebinding a hotkey means, before anything is registered or shown.

// The virtual keys the rule looks at.
constexpr int32_t kVkShift = 0x10;
constexpr int32_t kVkMenu = 0x12;  // Alt
constexpr int32_t kVkEscape = 0x1B;
constexpr int32_t kVkLeftShift = 0xA0;
constexpr int32_t kVkRightMenu = 0xA5;

// A virtual key with the modifier bits (HotkeyText.h) it is registered with.
struct HotkeyCombo {
    int32_t key = 0;
    uint32_t modifiers = 0;
    bool operator==(const HotkeyCombo& other) const { return key == other.key && modifiers == other.modifiers; }
};

enum class RebindOutcome {
    Ignore,         // a modifier alone: the user is still holding them
    Cancel,         // Escape: the old combination stays
    NeedsModifier,  // a key without Ctrl, Shift or Alt
    Duplicate,      // another action holds the combination
    Bind,           // the combination becomes the hotkey
};

struct RebindDecision {
    RebindOutcome outcome = RebindOutcome::Ignore;
    HotkeyCombo combo;  // with Bind: the key and the modifiers held
};

// `others`: the other actions' hotkeys, which a new combination may not repeat. The action's own current
// combination is not among them: pressing it again binds it again.
RebindDecision DecideRebindKey(int32_t key, uint32_t heldModifiers, const std::array<HotkeyCombo, 2>& others);
