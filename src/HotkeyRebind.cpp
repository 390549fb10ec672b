#include "HotkeyRebind.h"

namespace {

bool isModifierKey(int32_t key) {
    return (key >= kVkShift && key <= kVkMenu) || (key >= kVkLeftShift && key <= kVkRightMenu);
}

}  // namespace

RebindDecision DecideRebindKey(int32_t key, uint32_t heldModifiers, const std::array<HotkeyCombo, 2>& others) {
    if (key == kVkEscape) return {RebindOutcome::Cancel, {}};
    if (isModifierKey(key)) return {RebindOutcome::Ignore, {}};
    if (heldModifiers == 0) return {RebindOutcome::NeedsModifier, {}};
    const HotkeyCombo pressed{key, heldModifiers};
    for (const HotkeyCombo& other : others) {
        if (other == pressed) return {RebindOutcome::Duplicate, {}};
    }
    return {RebindOutcome::Bind, pressed};
}
