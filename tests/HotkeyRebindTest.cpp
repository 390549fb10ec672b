#include <gtest/gtest.h>

#include "HotkeyRebind.h"
#include "HotkeyText.h"

// Rebinding show/hide (action 1) while click-through (0) holds Ctrl+Shift+B and the boss menu (2) Ctrl+A;
// show/hide itself is bound to Ctrl+B.
TEST(HotkeyRebind, EachKeyMeansOneThing) {
    const std::array<HotkeyCombo, 2> others{{{'B', kModControl | kModShift}, {'A', kModControl}}};
    struct Case {
        const char* name;
        int32_t key;
        uint32_t modifiers;
        RebindOutcome outcome;
        HotkeyCombo bound;
    };
    using R = RebindOutcome;
    const Case cases[] = {
        {"escape cancels", kVkEscape, 0, R::Cancel, {}},
        {"escape cancels with modifiers held", kVkEscape, kModControl, R::Cancel, {}},
        {"shift alone: the first of the modifier keys", 0x10, kModShift, R::Ignore, {}},
        {"alt alone: the last of them", 0x12, kModAlt, R::Ignore, {}},
        {"left shift: the first of the sided ones", 0xA0, kModShift, R::Ignore, {}},
        {"right alt: the last of them", 0xA5, kModAlt, R::Ignore, {}},
        {"a key alone", 'K', 0, R::NeedsModifier, {}},
        {"click-through's combination", 'B', kModControl | kModShift, R::Duplicate, {}},
        {"the boss menu's combination", 'A', kModControl, R::Duplicate, {}},
        {"its own combination again", 'B', kModControl, R::Bind, {'B', kModControl}},
        {"a key of another's with other modifiers", 'A', kModControl | kModAlt, R::Bind, {'A', 3}},
        {"a fresh combination", 'K', kModControl | kModAlt, R::Bind, {'K', 3}},
        {"a key just past the modifiers", 0xA6, kModShift, R::Bind, {0xA6, kModShift}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RebindDecision decision = DecideRebindKey(c.key, c.modifiers, others);
        EXPECT_EQ(decision.outcome, c.outcome);
        if (c.outcome == R::Bind) {
            EXPECT_EQ(decision.combo, c.bound);
        }
    }
}
