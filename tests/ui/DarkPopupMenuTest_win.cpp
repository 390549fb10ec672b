#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <atomic>
#include <thread>
#include <vector>

#include "base/ScopedHandles_win.h"
#include "ui/DarkPopupMenu_win.h"

namespace {

constexpr UINT kTrayCallback = WM_APP;

// Win event callbacks carry no data of their own.
struct MenuWatch {
    std::atomic<int> starts{0};
    int ends = 0;
    int ownerKeys = 0;
} watch;

MenuItem entry(const wchar_t* text, std::vector<MenuItem> children = {}) {
    MenuItem item;
    item.id = children.empty() ? 1 : 0;
    item.text = text;
    item.hasSubmenu = !children.empty();
    item.children = std::move(children);
    return item;
}

void CALLBACK countMenuEvents(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD, DWORD) {
    if (event == EVENT_SYSTEM_MENUPOPUPSTART) ++watch.starts;
    if (event == EVENT_SYSTEM_MENUPOPUPEND) ++watch.ends;
}

// A tray callback that arrives while the menu waits for a message: it opens a second menu, which closes the first,
// leaves it by a submenu and Alt, and leaves a key for the owner in the queue.
LRESULT CALLBACK trayOwner(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == kTrayCallback) {
        for (const WPARAM key : {VK_RIGHT, VK_MENU}) PostMessageW(nullptr, WM_KEYDOWN, key, 0);
        DarkPopupMenu::Show(owner, 100, 100, {entry(L"&More", {entry(L"Entry")})}, true);
        PostMessageW(owner, WM_KEYDOWN, VK_DOWN, 0);
        return 0;
    }
    if (message == WM_KEYDOWN) ++watch.ownerKeys;
    return DefSubclassProc(owner, message, wParam, lParam);
}

}  // namespace

// The first menu's loop finds its tiers gone when its wait ends: the key that ends it belongs to the owner. Every
// tier that opened, in either menu, tells screen readers that it ended.
TEST(DarkPopupMenu, ATrayCallbackThatClosesTheMenuEndsItsLoopAndEveryTierEndsForScreenReaders) {
    UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
    SetWindowSubclass(owner.get(), trayOwner, 1, 0);
    // In context: Wine drops an out-of-context event whose window is gone before the callback would run.
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_SYSTEM_MENUPOPUPSTART, EVENT_SYSTEM_MENUPOPUPEND, GetModuleHandleW(nullptr),
                        countMenuEvents, GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
    ASSERT_NE(hook, nullptr);
    std::thread tray([owner = owner.get()] {
        for (int i = 0; i < 500 && watch.starts == 0; ++i) Sleep(10);
        SendMessageW(owner, kTrayCallback, 0, 0);
    });
    DarkPopupMenu::Show(owner.get(), 50, 50, {entry(L"Entry")});
    tray.join();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    UnhookWinEvent(hook);
    RemoveWindowSubclass(owner.get(), trayOwner, 1);
    EXPECT_EQ(watch.ownerKeys, 1);
    EXPECT_EQ(watch.starts, 3);
    EXPECT_EQ(watch.ends, 3);
}
