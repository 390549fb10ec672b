#include <gtest/gtest.h>
#include <windows.h>

#include "base/PostOnce_win.h"

namespace {

constexpr UINT kMessage = WM_APP + 7;

int takeQueued(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, window, kMessage, kMessage, PM_REMOVE)) ++count;
    return count;
}

}  // namespace

// One message however many changes come before the window takes it; a failed post is tried again, never
// left standing as if a message were on its way.
TEST(PostOnce, PostsOneMessageUntilTakenAndRetriesAFailedPost) {
    struct Case {
        const char* name;
        bool windowGone;
        bool expectedPending;
        int expectedQueued;
    };
    const Case cases[] = {
        {"live window: three changes, one message", false, true, 1},
        {"window gone: every post fails and says so", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        if (c.windowGone) DestroyWindow(window);
        PostOnce post(window, kMessage);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(post.Post(), c.expectedPending);
        EXPECT_EQ(takeQueued(window), c.expectedQueued);
        post.Taken();
        EXPECT_EQ(post.Post(), c.expectedPending);
        EXPECT_EQ(takeQueued(window), c.expectedQueued);
        if (!c.windowGone) DestroyWindow(window);
    }
}
