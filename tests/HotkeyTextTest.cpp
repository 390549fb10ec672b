#include <gtest/gtest.h>

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
