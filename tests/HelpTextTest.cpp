#include <gtest/gtest.h>

#include "HelpText.h"

TEST(HelpText, NamesTheHotkeysAndWhereTheAlertsAreSet) {
    const std::wstring text = HelpText(L"Ctrl+B", L"Ctrl+Shift+B", L"Ctrl+A");
    EXPECT_NE(text.find(L"\n  Ctrl+B - Show/Hide window\n  Ctrl+Shift+B - Toggle click-through mode\n\n"
                        L"  Ctrl+A - Boss menu\n"),
              std::wstring::npos);
    // The alerts are switched in the tray menu, but their seconds only in the file: the help says where.
    for (const wchar_t* named : {L"When a channel is about to die", L"Before the respawn", L"Sound",
                                 L"Brisquel.ini, section [Alerts]: DyingSeconds and RespawnSeconds"}) {
        EXPECT_NE(text.find(named), std::wstring::npos) << named;
    }
}
