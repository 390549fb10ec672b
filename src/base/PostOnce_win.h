#pragma once

#include <windows.h>

#include <atomic>

// Posts a message to a window from any thread, at most one at a time: the window reads everything new when
// the message arrives, so further posts meanwhile would only fill its queue.
class PostOnce {
public:
    PostOnce(HWND window, UINT message) : window_(window), message_(message) {}

    // Says whether a message is on its way. A post that fails (a full queue) leaves none pending, so that the
    // next call tries again rather than waiting for a message that never comes.
    bool Post();
    // On the window's thread, as the message arrives: the next change posts again.
    void Taken() { pending_.store(false); }

private:
    HWND window_;
    UINT message_;
    std::atomic<bool> pending_{false};
};
