#include <gtest/gtest.h>
#include <windows.h>

#include <system_error>
#include <thread>

#include "MainDialog_win.h"

// The second thread of the refresh workers cannot start: creation fails as a whole, leaving no window and no
// pending quit that would close the caller's error box at once.
TEST(MainDialog, AWorkerThatCannotStartFailsCreationAndLeavesNothingBehind) {
    int starts = 0;
    {
        MainDialog dialog([&starts](std::function<void()> body) {
            if (++starts == 2) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        });
        EXPECT_FALSE(dialog.Create());
        EXPECT_EQ(FindWindowW(L"ZentrikMainDialog", nullptr), nullptr);
        MSG quit;
        EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(starts, 2);
    // The window saved its settings beside this test program as it closed.
    DeleteFileW(Settings().path().c_str());
}
