#include <gtest/gtest.h>

#include "HelpText.h"

TEST(HelpText, ListsTheHotkeysInTheirPlaces) {
    const std::wstring text = HelpText(L"Ctrl+B", L"Ctrl+Shift+B", L"Ctrl+A");
    EXPECT_EQ(text.rfind(L"Brisquel v1.6.3\n", 0), 0u);
    EXPECT_NE(text.find(L"\nHOTKEYS (customizable in settings):\n  Ctrl+B - Show/Hide window\n"
                        L"  Ctrl+Shift+B - Toggle click-through mode\n\n  Ctrl+A - Boss menu\n\nSYSTEM TRAY:\n"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"\n\u2022 Double-click tray icon to show/hide\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"\nCREDITS:\n"), std::wstring::npos);
}
