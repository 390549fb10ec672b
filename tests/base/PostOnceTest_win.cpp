#include <gtest/gtest.h>
#include <windows.h>

#include "base/PostOnce_win.h"

// One message however many changes come before the window takes it; a failed post is tried again, never
// left standing as if a message were on its way.
TEST(PostOnce, PostsOneMessageUntilTakenAndRetriesAFailedPost) {
    constexpr UINT kMessage = WM_APP + 7;
    const auto takeQueued = [](HWND window) {
        int count = 0;
        for (MSG msg; PeekMessageW(&msg, window, kMessage, kMessage, PM_REMOVE);) ++count;
        return count;
    };
    const std::tuple<const char*, bool, bool, int> cases[] = {
        {"live window: three changes, one message", false, true, 1},
        {"window gone: every post fails and says so", true, false, 0},
    };
    for (const auto& [name, windowGone, pending, queued] : cases) {
        SCOPED_TRACE(name);
        const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        if (windowGone) DestroyWindow(window);
        PostOnce post(window, kMessage);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(post.Post(), pending);
        EXPECT_EQ(takeQueued(window), queued);
        post.Taken();
        EXPECT_EQ(post.Post(), pending);
        EXPECT_EQ(takeQueued(window), queued);
        if (!windowGone) DestroyWindow(window);
    }
}
