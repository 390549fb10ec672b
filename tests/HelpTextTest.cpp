#include <gtest/gtest.h>

#include "HelpText.h"

TEST(HelpText, PutsEachHotkeyInItsLine) {
    const std::wstring text = HelpText(L"Ctrl+B", L"Ctrl+Shift+B", L"Ctrl+A");
    EXPECT_NE(text.find(L"\n  Ctrl+B - Show/Hide window\n  Ctrl+Shift+B - Toggle click-through mode\n\n"
                        L"  Ctrl+A - Boss menu\n"),
              std::wstring::npos);
}
