#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "ExternalNames.h"
#include "MainDialog_win.h"
#include "support/Fixtures.h"

// The second thread of the refresh workers cannot start: creation fails as a whole, leaving no window and no
// pending quit that would close the caller's error box at once.
TEST(MainDialog, AWorkerThatCannotStartFailsCreationAndLeavesNothingBehind) {
    int starts = 0;
    {
        MainDialog dialog(ResolveSettingsPath(), [&starts](std::function<void()> body) {
            if (++starts == 2) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        });
        EXPECT_FALSE(dialog.Create(SingleInstance(ResolveSettingsPath().file)));
        EXPECT_EQ(FindWindowW(ExternalNames::CLASS_OVERLAY, nullptr), nullptr);
        MSG quit;
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(starts, 2);
    // The window saved its settings beside this test program as it closed.
    DeleteFileW(ResolveSettingsPath().file.c_str());
}

// Click-through was saved on and its hotkey is held elsewhere. While the start-up notice says so, a second start
// finds the window marked and is answered; the overlay then starts framed, to the mouse, keeping the saved mode.
TEST(MainDialog, WithoutItsHotkeyClickThroughStartsOffAndASecondStartIsAnsweredDuringTheNotice) {
    const SettingsPath settings = ResolveSettingsPath();
    const std::wstring& ini = settings.file;
    std::ofstream(std::filesystem::path(ini))
        << "[Window]\nClickThroughMode=1\n[Server]\nBaseUrl=" << fixtureOrigin("TRACKER") << "/\n";
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, 'B'));
    bool marked = false, answered = false;
    std::thread secondStart([&] {
        HWND notice = nullptr;
        for (int i = 0; i < 400 && !notice; ++i, Sleep(50)) notice = FindWindowW(ExternalNames::CLASS_NOTICE, nullptr);
        const HWND overlay = FindWindowW(ExternalNames::CLASS_OVERLAY, nullptr);
        marked = GetPropW(overlay, ExternalNames::PROP_SETTINGS_FILE) != nullptr;
        answered = SendMessageTimeoutW(overlay, SingleInstance::ShowMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        PostMessageW(notice, WM_CLOSE, 0, 0);
    });
    {
        MainDialog dialog(settings);
        const bool created = dialog.Create(SingleInstance(ini));
        secondStart.join();
        ASSERT_TRUE(created);
        EXPECT_TRUE(marked);
        EXPECT_TRUE(answered);
        EXPECT_EQ(GetWindowLongPtrW(dialog.hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
        DestroyWindow(dialog.hwnd());
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(GetPrivateProfileIntW(L"Window", L"ClickThroughMode", 0, ini.c_str()), 1u);
    DeleteFileW(ini.c_str());
}
