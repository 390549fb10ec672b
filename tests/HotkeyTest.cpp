#include <gtest/gtest.h>

#include "HotkeyRebind.h"
#include "HotkeyText.h"

// A keyboard layout that knows one extra key.
static std::wstring layoutName(int32_t virtualKey) {
    return virtualKey == 0xE2 ? L"<>" : L"";
}

TEST(HotkeyText, NamesEveryKindOfKey) {
    struct Case {
        int32_t key;
        const wchar_t* name;
    };
    // The ranges' ends, one name of the fixed table, a gap in it, the layout's own name and the hex fallback.
    const Case cases[] = {
        {'A', L"A"},     {'Z', L"Z"},     {'0', L"0"},         {'9', L"9"},     {0x70, L"F1"},
        {0x87, L"F24"},  {0x88, L"0x88"}, {0x21, L"Page Up"},  {0x6C, L"0x6C"}, {0xE2, L"<>"},
        {0xFF, L"0xFF"}, {0x05, L"0x05"}, {0x1234, L"0x1234"},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyName(c.key, layoutName), c.name) << c.key;
    EXPECT_EQ(VirtualKeyName(0xE2, nullptr), L"0xE2");
}

TEST(HotkeyText, ModifiersInAFixedOrder) {
    struct Case {
        uint32_t modifiers;
        int32_t key;
        const wchar_t* text;
    };
    const Case cases[] = {
        {6, 0x42, L"Ctrl+Shift+B"},
        {2, 0x42, L"Ctrl+B"},
        {kModAlt | kModShift | kModControl, 0x7B, L"Ctrl+Shift+Alt+F12"},
        {kModAlt | 0x4000 | 8, 'K', L"Alt+K"},  // no-repeat and Windows-key bits are not shown
        {0, 'K', L"K"},
        {6, 0, L"(None)"},
        {2, 0x6B, L"Ctrl+Num +"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatHotkey(c.modifiers, c.key, layoutName), c.text);
}

// Rebinding show/hide (action 1) while click-through (0) holds Ctrl+Shift+B and the boss menu (2) Ctrl+A;
// show/hide itself is bound to Ctrl+B.
TEST(HotkeyRebind, EachKeyMeansOneThing) {
    const std::array<HotkeyCombo, 2> others{{{'B', kModControl | kModShift}, {'A', kModControl}}};
    struct Case {
        const char* name;
        HotkeyCombo pressed;
        RebindOutcome outcome;  // with Bind, of the combination pressed
    };
    using R = RebindOutcome;
    const Case cases[] = {
        {"escape cancels", {kVkEscape, 0}, R::Cancel},
        {"escape cancels with modifiers held", {kVkEscape, kModControl}, R::Cancel},
        {"shift alone: the first of the modifier keys", {0x10, kModShift}, R::Ignore},
        {"alt alone: the last of them", {0x12, kModAlt}, R::Ignore},
        {"left shift: the first of the sided ones", {0xA0, kModShift}, R::Ignore},
        {"right alt: the last of them", {0xA5, kModAlt}, R::Ignore},
        {"a key alone", {'K', 0}, R::NeedsModifier},
        {"click-through's combination", {'B', kModControl | kModShift}, R::Duplicate},
        {"the boss menu's combination", {'A', kModControl}, R::Duplicate},
        {"its own combination again", {'B', kModControl}, R::Bind},
        {"a key of another's with other modifiers", {'A', kModControl | kModAlt}, R::Bind},
        {"a key just past the modifiers", {0xA6, kModShift}, R::Bind},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RebindDecision decision = DecideRebindKey(c.pressed.key, c.pressed.modifiers, others);
        EXPECT_EQ(decision.outcome, c.outcome);
        if (c.outcome == R::Bind) {
            EXPECT_EQ(decision.combo, c.pressed);
        }
    }
}
