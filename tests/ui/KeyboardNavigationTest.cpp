#include <gtest/gtest.h>

#include "ui/KeyboardNavigation.h"

TEST(KeyboardNavigation, StepsOverWhatCannotBeSelected) {
    // A title, a separator, two entries, a disabled entry, one more: the tray menu's shape.
    const std::vector<bool> menu{false, false, true, true, false, true};
    const std::tuple<const char*, int, int, int> cases[] = {
        {"first from nothing", -1, 1, 2},       {"last from nothing", -1, -1, 5},  {"down skips disabled", 3, 1, 5},
        {"down wraps past the title", 5, 1, 2}, {"up wraps to the end", 2, -1, 5}, {"up skips disabled", 5, -1, 3},
    };
    for (const auto& [name, from, step, expected] : cases) EXPECT_EQ(StepSelection(menu, from, step), expected) << name;
    EXPECT_EQ(StepSelection({false, false}, -1, 1), -1);
    EXPECT_EQ(StepSelection({}, 0, 1), -1);
}

TEST(KeyboardNavigation, AccessKeysAndShownText) {
    const std::vector<std::wstring> texts{L"Brisquel", L"&Hide", L"Save && e&xit", L"&Off", L"E&xit"};
    const std::vector<bool> selectable{false, true, true, false, true};
    const std::tuple<const char*, wchar_t, int> cases[] = {
        {"either case", L'h', 1},  {"after a double ampersand", L'X', 2}, {"disabled has none", L'o', -1},
        {"no such key", L'q', -1}, {"the double is no key", L'&', -1},
    };
    for (const auto& [name, key, expected] : cases) EXPECT_EQ(AccessKeyIndex(texts, selectable, key), expected) << name;
    EXPECT_EQ(WithoutAccessMarks(L"Save && e&xit"), L"Save & exit");
    EXPECT_EQ(WithoutAccessMarks(L"E&xit"), L"Exit");
}
