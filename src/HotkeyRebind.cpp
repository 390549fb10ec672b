#include "HotkeyRebind.h"

namespace {

bool isModifierKey(int32_t key) {
    return (key >= kVkShift && key <= kVkMenu) || (key >= kVkLeftShift && key <= kVkRightMenu);
}

}  // namespace

RebindDecision DecideRebindKey(int32_t key, uint32_t heldModifiers, const std::array<BoundHotkey, 2>& others) {
    if (key == kVkEscape) return {RebindOutcome::Cancel, -1, {}};
    if (isModifierKey(key)) return {RebindOutcome::Ignore, -1, {}};
    if (heldModifiers == 0) return {RebindOutcome::NeedsModifier, -1, {}};
    const HotkeyCombo pressed{key, heldModifiers};
    for (const BoundHotkey& other : others) {
        if (other.combo == pressed) return {RebindOutcome::Duplicate, other.action, {}};
    }
    return {RebindOutcome::Bind, -1, pressed};
}
